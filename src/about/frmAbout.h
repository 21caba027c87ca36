#pragma once

#include <QDialog>

// The about dialog.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr) : QDialog(parent) {}
};
