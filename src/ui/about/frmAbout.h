#pragma once

#include <QDialog>
#include <QImage>

#include <array>

class QLabel;
class QPushButton;

// The about dialog: the program's name, version, emblem and acknowledgements.
// Modeless and without an owner; OK, Enter, Escape and the close box all
// destroy it.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);

    // True once the dialog was closed and is on its way out.
    bool isClosed() const { return m_closed; }

    // ---- Controls (objectName = member name; Line1 elements are Line1_0, Line1_1) ----
    QPushButton *cmdOK = nullptr;
    QLabel *lblDisclaimer = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *Label1 = nullptr;
    std::array<QWidget *, 2> Line1{};

    void cmdOK_Click();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void buildControls();
    void Form_Load();

    QImage m_picture;
    bool m_closed = false;
};
