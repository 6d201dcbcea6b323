#pragma once

#include "ui/TipsFile.h"

#include <QDialog>

#include <string>

class ConverterApp;
class QCheckBox;
class QLabel;
class QPushButton;
class QSvgRenderer;

// Tip of the Day: shows one tip at a time from the tips file and remembers, in the "Tips"
// section of the user's settings file, where the next tip starts and whether tips are wanted
// at start-up. Close (or Enter) stores the start-up choice, Escape and the close box do not;
// the reading position is stored when the dialog is destroyed, however it ended.
class CTipDlg : public QDialog {
    Q_OBJECT

public:
    CTipDlg(std::string tipsPath, std::string settingsPath, QWidget* parent = nullptr);
    ~CTipDlg() override;

    // The tips file beside the program.
    static std::string tipsPathIn(const std::string& programDir);

    // The Tip of the Day command: shows the dialog modally and destroys it.
    static void runModal(const std::string& tipsPath, const std::string& settingsPath,
                         QWidget* parent = nullptr);
    static void runModal(const ConverterApp& app, QWidget* parent = nullptr);
    // At start-up: shows the dialog when the user wants tips at start-up ("TipOfDay" is 1, the
    // default) and the tips file exists. Returns whether it was shown.
    static bool runAtStartup(const std::string& tipsPath, const std::string& settingsPath,
                             QWidget* parent = nullptr);
    static bool runAtStartup(const ConverterApp& app, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createControls();
    void layoutControls();
    void showNextTip();
    void showTipText();
    void closeAndStoreStartupFlag();
    void writeSetting(const char* key, const std::string& value) const;
    QRect pictureRect() const;
    QSize pictureSize() const;

    std::string settingsPath;
    TipsFile tips;
    std::string tipText;
    int startupFlag = 1;

    QSvgRenderer* tipPicture = nullptr; // bitmap 102
    QLabel* tipLabel = nullptr;
    QCheckBox* startupCheck = nullptr;
    QPushButton* nextButton = nullptr;
    QPushButton* closeButton = nullptr;
};
