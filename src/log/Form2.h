#pragma once

#include <QWidget>

// The log viewer window.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    explicit Form2(QWidget *parent = nullptr) : QWidget(parent) {}
};
