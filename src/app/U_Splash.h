#pragma once
#include <QWidget>

class QLabel;

// Shown while the program connects; its status line tells what it is doing.
class TFrm_Splash : public QWidget
{
    Q_OBJECT
public:
    explicit TFrm_Splash(QWidget *parent = nullptr);
    QLabel *Image1;
    QLabel *Label1;

protected:
    void mousePressEvent(QMouseEvent *e) override;
};

// Sets the splash window's status line and repaints it at once: start-up work runs
// without a message loop. Does nothing when no splash window exists.
void SplashStatus(const QString &text);
void setSplashWindow(TFrm_Splash *splash);
