#include "U_Splash.h"

#include "AppPaths.h"

#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QGuiApplication>

using namespace Qt::StringLiterals;

namespace {
QPointer<TFrm_Splash> g_splash;

QPixmap defaultPicture()
{
    QPixmap pm(480, 280);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 480, 280);
    g.setColorAt(0, QColor(0x1f, 0x4e, 0x79));
    g.setColorAt(1, QColor(0x5b, 0x9b, 0xd5));
    p.fillRect(pm.rect(), g);
    p.setPen(Qt::white);
    QFont f(u"WenQuanYi Micro Hei"_s);
    f.setPointSize(22);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 70, 480, 60), Qt::AlignCenter, u"Orvalis 会员管理系统"_s);
    return pm;
}
} // namespace

TFrm_Splash::TFrm_Splash(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(u"TFrm_Splash"_s);
    Image1 = new QLabel(this);
    Image1->setObjectName(u"Image1"_s);
    // A missing or unreadable picture is no reason to stop the start.
    QPixmap pm;
    for (const QString &name : {u"IMG/Splash.png"_s, u"IMG/Splash.bmp"_s})
        if (pm.isNull() && QFile::exists(AppPaths::file(name)))
            pm.load(AppPaths::file(name));
    if (pm.isNull())
        pm = defaultPicture();
    Image1->setPixmap(pm);
    Image1->resize(pm.size());
    resize(pm.size());
    Label1 = new QLabel(u"正在读取参数..."_s, this);
    Label1->setObjectName(u"Label1"_s);
    Label1->setStyleSheet(u"color: white; background: transparent;"_s);
    Label1->setGeometry(16, height() - 34, width() - 32, 24);
    if (QScreen *s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
}

void TFrm_Splash::mousePressEvent(QMouseEvent *) { close(); }

void setSplashWindow(TFrm_Splash *splash) { g_splash = splash; }

void SplashStatus(const QString &text)
{
    if (!g_splash)
        return;
    g_splash->Label1->setText(text);
    g_splash->Label1->repaint();
}
