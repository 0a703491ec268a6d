#include "TestDb.h"
#include "app/Actions.h"
#include "report/Report.h"
#include "report/ReportPreview.h"
#include "reports/ReportActions.h"

#include <QAction>
#include <QProcess>

using namespace Qt::StringLiterals;

// The main menu's print entries print the shipped templates from the program's
// own data sets: the member list prints exactly the members listed, in list order.
class TestReportActions : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void memberListPrintsTheListedMembers();
    void memberSheetFallsBackToTheStandInPhoto();

private:
    QString pdfText(ReportPreview *preview);
    TestDb tdb;
    QWidget window;
    QList<QAction *> actions;
    QStringList previewed;
    QString text;
};

void TestReportActions::init()
{
    ORVALIS_INIT_DB(tdb);
    // The shipped templates, as the build puts them next to the program.
    QDir().mkpath(tdb.home() + u"/Reports"_s);
    for (const auto &f : TFrm_Data::reportFiles())
        QFile::copy(TestDb::resourcesDir() + u'/' + f.file, tdb.home() + u'/' + f.file);
    QFile::copy(TestDb::resourcesDir() + u"/nopic.jpg"_s, tdb.home() + u"/nopic.jpg"_s);
    tdb.data()->loadReports();
    for (const QString &name : {u"N_R_Card"_s, u"N_R_Label"_s, u"N4"_s}) {
        auto *a = new QAction(&window);
        a->setObjectName(name);
        Actions::add(a);
        actions << a;
    }
    reports::installActions(&window);
    previewed.clear();
    text.clear();
    ReportPreview::setTestHook([this](ReportPreview *p) {
        previewed << QString::number(p->pageCount());
        text = pdfText(p);
    });
}

void TestReportActions::cleanup()
{
    ReportPreview::setTestHook({});
    qDeleteAll(actions);
    actions.clear();
    tdb.tearDown();
}

QString TestReportActions::pdfText(ReportPreview *preview)
{
    const QString pdf = tdb.home() + u"/out.pdf"_s;
    if (!preview->exportPdf(pdf))
        return {};
    QProcess p;
    p.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

void TestReportActions::memberListPrintsTheListedMembers()
{
    for (const auto &[code, name] : {std::pair{"M003", "王小明"}, std::pair{"M001", "李华"}, std::pair{"M002", "张伟"}})
        QVERIFY(tdb.exec(u"INSERT INTO T_Card (CardCode, MemName, NewCard) VALUES (?, ?, '储值卡')"_s,
                         {QString::fromLatin1(code), QString::fromUtf8(name)}));
    TFrm_Data *dm = tdb.data();
    // The member list shows two of them, sorted by card number.
    QVERIFY(dm->OpenSQL(dm->Qry_Card, u"select * from T_Card where CardCode <> 'M002' order by CardCode"_s));
    QVERIFY(Actions::trigger(u"N_R_Card"_s));
    QCOMPARE(previewed.size(), 1);
    QVERIFY2(text.contains(u"李华"_s) && text.contains(u"王小明"_s), qPrintable(text));
    QVERIFY(!text.contains(u"张伟"_s));
    QVERIFY(text.indexOf(u"M001"_s) < text.indexOf(u"M003"_s));
    QCOMPARE(dm->Qry_Card->currentRow(), 0); // printing never moves the member list
}

void TestReportActions::memberSheetFallsBackToTheStandInPhoto()
{
    QVERIFY(tdb.exec(u"INSERT INTO T_Card (CardCode, MemName, Pic) VALUES ('P1', '赵六', '/no/such/photo.jpg')"_s));
    TFrm_Data *dm = tdb.data();
    QVERIFY(dm->OpenSQL(dm->Qry_Card, u"select * from T_Card"_s));
    QVERIFY(Actions::trigger(u"N4"_s));
    QCOMPARE(previewed.size(), 1);
    QVERIFY(text.contains(u"赵六"_s));
    QVERIFY(dm->report(u"frx_bill"_s)->fallbackPictureCount() >= 1);
}

QTEST_MAIN(TestReportActions)
#include "tst_reportactions.moc"
