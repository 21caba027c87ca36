#pragma once

#include <QPushButton>

// A push button whose caption wraps onto a second line when it does not fit,
// as the narrow command buttons of the main window need.
class WrappingButton : public QPushButton
{
    Q_OBJECT

public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};
