#include "ui/TipDlg.h"

#include "core/ConverterApp.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/DrawText.h"
#include "platform/ProfileFile.h"
#include "ui/DialogUnits.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>

#include <filesystem>
#include <utility>

using platform::ProfileFile;

namespace {

constexpr const char* TIPS_SECTION = "Tips";
constexpr const char* KEY_STARTUP = "TipOfDay";
constexpr const char* KEY_POSITION = "FilePos";
constexpr const char* KEY_STAMP = "TimeStamp";
constexpr std::size_t STAMP_LIMIT = 127;

const QString DID_YOU_KNOW = QStringLiteral("Did you know...");
constexpr const char* TIPS_FILE_ABSENT = "Tips file does not exist in the prescribed directory";
constexpr const char* TIPS_FILE_TROUBLE = "Trouble reading the tips file";

// The picture beside "Did you know...", square, as high as this many vertical dialog units.
constexpr int PICTURE_HEIGHT = 38;

// The heading is drawn larger and bold, as the window system's own paint font draws it.
QFont headingFont(QFont font) {
    font.setBold(true);
    if (font.pixelSize() > 0)
        font.setPixelSize(font.pixelSize() * 7 / 5);
    else
        font.setPointSizeF(font.pointSizeF() * 1.4);
    return font;
}

} // namespace

CTipDlg::CTipDlg(std::string tipsPath, std::string settingsFile, QWidget* parent)
    : QDialog(parent), settingsPath(std::move(settingsFile)), tips(tipsPath) {
    setWindowTitle(QStringLiteral("Tip of the Day"));
    createControls();
    startupFlag = ProfileFile::readInt(settingsPath, TIPS_SECTION, KEY_STARTUP, 1);
    long long offset = ProfileFile::readInt(settingsPath, TIPS_SECTION, KEY_POSITION, 0);
    if (!tips.isOpen()) {
        tipText = TIPS_FILE_ABSENT;
        nextButton->setEnabled(false);
    } else {
        // A replaced tips file starts from its first tip again.
        const std::string stamp = tips.modificationStamp();
        const std::string stored =
            ProfileFile::readString(settingsPath, TIPS_SECTION, KEY_STAMP).substr(0, STAMP_LIMIT);
        if (stamp != stored) {
            writeSetting(KEY_STAMP, stamp);
            offset = 0;
        }
        if (tips.seek(offset))
            showNextTip();
        else
            platform::Dialogs::message(TIPS_FILE_TROUBLE);
    }
    startupCheck->setChecked(startupFlag != 0);
    showTipText();
    layoutControls();
}

CTipDlg::~CTipDlg() {
    const long long position = tips.position();
    if (position >= 0)
        writeSetting(KEY_POSITION, std::to_string(position));
}

std::string CTipDlg::tipsPathIn(const std::string& programDir) {
    return programDir + "tips.txt";
}

void CTipDlg::runModal(const std::string& tipsPath, const std::string& settingsPath, QWidget* parent) {
    CTipDlg dialog(tipsPath, settingsPath, parent);
    dialog.exec();
}

void CTipDlg::runModal(const ConverterApp& app, QWidget* parent) {
    runModal(tipsPathIn(app.programDir), app.settingsPath, parent);
}

bool CTipDlg::runAtStartup(const std::string& tipsPath, const std::string& settingsPath, QWidget* parent) {
    std::error_code ignored;
    if (ProfileFile::readInt(settingsPath, TIPS_SECTION, KEY_STARTUP, 1) != 1 ||
        !std::filesystem::exists(tipsPath, ignored))
        return false;
    runModal(tipsPath, settingsPath, parent);
    return true;
}

bool CTipDlg::runAtStartup(const ConverterApp& app, QWidget* parent) {
    return runAtStartup(tipsPathIn(app.programDir), app.settingsPath, parent);
}

void CTipDlg::createControls() {
    tipPicture = new QSvgRenderer(QStringLiteral(":/images/tip-bulb.svg"), this);
    tipLabel = new QLabel(this);
    tipLabel->setObjectName(QStringLiteral("tipText"));
    tipLabel->setTextFormat(Qt::PlainText);
    tipLabel->setWordWrap(true);
    tipLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette white = tipLabel->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    tipLabel->setPalette(white);
    tipLabel->setAutoFillBackground(true);

    startupCheck = new QCheckBox(QStringLiteral("&Show Tips on StartUp"), this);
    startupCheck->setObjectName(QStringLiteral("startupCheck"));
    connect(startupCheck, &QCheckBox::clicked, this, [this](bool checked) { startupFlag = checked ? 1 : 0; });

    nextButton = new QPushButton(QStringLiteral("&Next Tip"), this);
    nextButton->setObjectName(QStringLiteral("nextTip"));
    connect(nextButton, &QPushButton::clicked, this, [this] {
        showNextTip();
        showTipText();
    });

    closeButton = new QPushButton(QStringLiteral("&Close"), this);
    closeButton->setObjectName(QStringLiteral("close"));
    closeButton->setDefault(true);
    connect(closeButton, &QPushButton::clicked, this, &CTipDlg::closeAndStoreStartupFlag);
}

// Places the controls where the dialog template has them, in units of the current font.
void CTipDlg::layoutControls() {
    const DialogUnits units(font());
    setFixedSize(units.toPixels(231, 164));
    tipLabel->setGeometry(units.toPixels(28, 63, 177, 60));
    startupCheck->setGeometry(units.toPixels(13, 146, 85, 10));
    nextButton->setGeometry(units.toPixels(109, 143, 50, 14));
    closeButton->setGeometry(units.toPixels(168, 143, 50, 14));
    update();
}

void CTipDlg::showNextTip() {
    const TipsFile::Next next = tips.nextTip();
    switch (next.outcome) {
    case TipsFile::Outcome::Tip:
        tipText = next.text;
        break;
    case TipsFile::Outcome::NoTip:
        tipText = TIPS_FILE_TROUBLE;
        nextButton->setEnabled(false);
        break;
    case TipsFile::Outcome::RewindFailed:
        platform::Dialogs::message(TIPS_FILE_TROUBLE);
        break;
    }
}

// The tip keeps its line end; the label shows the line without it.
void CTipDlg::showTipText() {
    QString shown = QString::fromStdString(tipText);
    while (shown.endsWith(QLatin1Char('\n')))
        shown.chop(1);
    tipLabel->setText(shown);
}

void CTipDlg::closeAndStoreStartupFlag() {
    writeSetting(KEY_STARTUP, std::to_string(startupFlag));
    startupCheck->setChecked(startupFlag != 0);
    accept();
}

void CTipDlg::writeSetting(const char* key, const std::string& value) const {
    ProfileFile::writeString(settingsPath, TIPS_SECTION, key, value);
}

QRect CTipDlg::pictureRect() const {
    return DialogUnits(font()).toPixels(20, 17, 190, 111);
}

QSize CTipDlg::pictureSize() const {
    const int side = DialogUnits(font()).toPixelsY(PICTURE_HEIGHT);
    return QSize(side, side);
}

void CTipDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const DialogUnits units(font());
    platform::FrameRect(painter, units.toPixels(12, 11, 207, 123),
                        platform::sysColor(platform::COLOR_WINDOWFRAME));

    const QRect area = pictureRect();
    painter.fillRect(area, Qt::white);
    const QRect picture(area.topLeft(), pictureSize());
    tipPicture->render(&painter, picture);

    QRect heading(area.left() + picture.width(), area.top(), area.width() - picture.width(),
                  picture.height());
    painter.setFont(headingFont(font()));
    painter.setPen(Qt::black);
    platform::DrawText(painter, DID_YOU_KNOW, heading, platform::DT_SINGLELINE | platform::DT_VCENTER);
}

void CTipDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        layoutControls();
}
