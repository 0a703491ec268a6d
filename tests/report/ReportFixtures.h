#pragma once
// Small in-memory data sets with the columns the shipped templates read.
#include "report/Report.h"

#include <QDate>
#include <QDir>
#include <QProcess>
#include <QStringList>

using namespace Qt::StringLiterals;

inline QString resourcesDir()
{
    const QString env = qEnvironmentVariable("ORVALIS_RESOURCES");
    return env.isEmpty() ? QDir::currentPath() + u"/resources"_s : env;
}

inline QString templatePath(const QString &file) { return resourcesDir() + u"/Reports/"_s + file; }

inline QStringList cardFields()
{
    return {u"UserID"_s, u"CardCode"_s, u"MemName"_s, u"Sex"_s, u"dw"_s, u"address"_s, u"Zip"_s, u"tel"_s,
            u"email"_s, u"mz"_s, u"Discount"_s, u"BeginDate"_s, u"EndDate"_s, u"NewCard"_s, u"CashMoney"_s,
            u"Cent"_s, u"UserName"_s, u"Birthday"_s, u"memo"_s, u"Mobile"_s, u"Category"_s, u"StartCent"_s,
            u"Other1"_s, u"Other2"_s, u"Other3"_s, u"Other4"_s, u"Other5"_s, u"Other6"_s, u"Pic"_s,
            u"CentPer"_s, u"Money"_s, u"state"_s, u"time"_s, u"Password"_s, u"CardLevel"_s};
}

// One member row; fields not given stay empty.
inline void addCard(ReportTable &t, const QString &code, const QString &name, const QString &pic = {},
                    double money = 100, int uses = 0)
{
    t.addRow({});
    const int r = t.rowCount() - 1;
    t.setValue(r, u"CardCode"_s, code);
    t.setValue(r, u"MemName"_s, name);
    t.setValue(r, u"Sex"_s, u"女"_s);
    t.setValue(r, u"Cent"_s, 120);
    t.setValue(r, u"BeginDate"_s, QDate(2024, 1, 15));
    t.setValue(r, u"EndDate"_s, QDate(2026, 1, 15));
    t.setValue(r, u"CashMoney"_s, 88.5);
    t.setValue(r, u"Category"_s, u"储值卡"_s);
    t.setValue(r, u"UserName"_s, u"Admin"_s);
    t.setValue(r, u"address"_s, u"上海市黄浦区南京东路1号"_s);
    t.setValue(r, u"Zip"_s, u"200001"_s);
    t.setValue(r, u"Pic"_s, pic);
    t.setValue(r, u"Money"_s, money);
    t.setValue(r, u"time"_s, uses);
    t.setValue(r, u"Birthday"_s, QDate(1990, 6, 1));
    t.setValue(r, u"CardLevel"_s, u"金卡"_s);
}

inline QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(u"pdftotext"_s, {u"-layout"_s, u"-enc"_s, u"UTF-8"_s, pdf, u"-"_s});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline QString pdfInfo(const QString &pdf)
{
    QProcess p;
    p.start(u"pdfinfo"_s, {pdf});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline QString pdfFonts(const QString &pdf)
{
    QProcess p;
    p.start(u"pdffonts"_s, {pdf});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Text of every laid-out item made from the named object, in page order.
inline QStringList itemTexts(const LayoutPages &pages, const QString &object)
{
    QStringList out;
    for (const LayoutPage &pg : pages)
        for (const LayoutItem &it : pg.items)
            if (it.objectName.compare(object, Qt::CaseInsensitive) == 0)
                out << it.text;
    return out;
}
