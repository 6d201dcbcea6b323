#pragma once

#include <QAccessibleWidget>

class CTextProgressCtrl;

// The text progress bar for assistive tools: a progress bar whose value is the position
// within the range and whose value text and description are the text it shows.
class CTextProgressAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit CTextProgressAccessible(CTextProgressCtrl* bar);

    QString text(QAccessible::Text type) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QVariant currentValue() const override;
    // The program alone moves the bar.
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override { return 0; }

private:
    CTextProgressCtrl* Bar() const;
};
