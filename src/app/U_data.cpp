#include "U_data.h"

#include "AppPaths.h"
#include "Prompt.h"
#include "data/SchemaInstaller.h"
#include "ReportSource.h"
#include "report/Report.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace {
TFrm_Data *g_instance = nullptr;

QVariant lineAmount(const DataSet &ds, int row)
{
    return ds.value(row, u"Price"_s).toDouble() * ds.value(row, u"Number"_s).toDouble()
           * ds.value(row, u"Discount"_s).toDouble();
}
} // namespace

std::function<bool(const QString &, const QStringList &)> TFrm_Data::launcher =
    [](const QString &program, const QStringList &args) { return QProcess::startDetached(program, args); };

TFrm_Data::TFrm_Data(QObject *parent) : QObject(parent)
{
    g_instance = this;
    auto make = [this](const char *name, const QString &table = {}, const QString &key = {}) {
        auto *ds = new DataSet(&ADOConnection1, this);
        ds->setObjectName(QString::fromLatin1(name));
        if (!table.isEmpty())
            ds->setTable(table, key);
        return ds;
    };
    Qry_Temp = make("Qry_Temp");
    Qry_Str = make("Qry_Str");
    Qry_Custom = make("Qry_Custom", u"Info"_s, u"id"_s);
    Qry_SoftInfo = make("Qry_SoftInfo");
    Qry_FieldShow = make("Qry_FieldShow");
    Qry_HY = make("Qry_HY");
    Qry_Import = make("Qry_Import");
    Qry_Card = make("Qry_Card", u"T_Card"_s, u"UserID"_s);
    Qry_CardCash = make("Qry_CardCash", u"T_CardCash"_s, u"CashID"_s);
    Qry_Detail = make("Qry_Detail", u"T_CardCashDetail"_s, u"ID"_s);
    Qry_CashDetail = make("Qry_CashDetail", u"T_CardCashDetail"_s, u"ID"_s);
    Qry_Goods = make("Qry_Goods", u"T_Goods"_s, u"GoodsID"_s);
    Qry_SelectGoods = make("Qry_SelectGoods", u"T_Goods"_s, u"GoodsID"_s);
    Qry_CardType = make("Qry_CardType", u"Dict_CardType"_s);
    Qry_DHGoods = make("Qry_DHGoods", u"T_DHGoods"_s);
    Qry_DHRecord = make("Qry_DHRecord", u"T_DHRecord"_s, u"DHID"_s);
    Qry_Bill = make("Qry_Bill");
    qry_Money = make("qry_Money", u"T_Money"_s, u"ID"_s);
    Qry_Other = make("Qry_Other");

    // Bills follow the member, lines follow the bill, exchanges follow the member.
    Qry_CardCash->setMaster(Qry_Card);
    Qry_Detail->setMaster(Qry_CardCash);
    Qry_DHRecord->setMaster(Qry_Card);

    Qry_Detail->addCalculatedField(u"Cmoney"_s, DataSet::FieldKind::Float, lineAmount);
    // The edited bill's line amounts exist only while a bill window does.
    Qry_CashDetail->addCalculatedField(u"Cmoney"_s, DataSet::FieldKind::Float, [this](const DataSet &ds, int row) {
        return m_billWindowOpen ? lineAmount(ds, row) : QVariant();
    });
    Qry_CashDetail->setCachedUpdates(true);

    for (const auto &[alias, ds] : {std::pair{u"B"_s, Qry_Card}, std::pair{u"A"_s, Qry_CardCash},
                                    std::pair{u"F"_s, Qry_CashDetail}, std::pair{u"m"_s, Qry_Goods},
                                    std::pair{u"X"_s, qry_Money}})
        m_reportSources.emplace_back(alias, std::make_unique<DataSetReportSource>(ds));
    Qry_SelectGoods->setCachedUpdates(true);
}

TFrm_Data::~TFrm_Data()
{
    m_reports.clear();
    if (g_instance == this)
        g_instance = nullptr;
}

TFrm_Data *TFrm_Data::instance() { return g_instance; }

DataSet *TFrm_Data::dataSet(const QString &name) const
{
    for (DataSet *ds : findChildren<DataSet *>(QString(), Qt::FindDirectChildrenOnly))
        if (ds->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return ds;
    return nullptr;
}

bool TFrm_Data::connectWith(const ConnectionSettings &settings, QString *error)
{
    DbConnected = false;
    const bool newFile = !settings.isPostgres() && !settings.database.isEmpty() && !QFile::exists(settings.database);
    if (!ADOConnection1.open(settings, error))
        return false;
    // A new workstation gets a working embedded database on first start.
    if (newFile || !schema::isInstalled(ADOConnection1)) {
        if (!newFile && settings.isPostgres()) {
            if (error)
                *error = u"数据库中没有 Orvalis 的数据表, 请先运行 orvalis --init-db"_s;
            ADOConnection1.close();
            return false;
        }
        if (!schema::install(ADOConnection1, error)) {
            ADOConnection1.close();
            if (newFile)
                QFile::remove(settings.database);
            return false;
        }
    } else if (!schema::upgrade(ADOConnection1, error)) {
        ADOConnection1.close();
        return false;
    }
    DbConnected = true;
    return true;
}

bool TFrm_Data::connectDatabase(const std::function<void(const QString &)> &status)
{
    auto say = [&](const QString &t) {
        if (status)
            status(t);
    };
    AppPaths::ensureDefaultConfig();
    Ini.setPath(AppPaths::configFile());
    const ConnectionSettings settings = ConnectionSettings::fromIni(Ini, AppPaths::home());
    say(u"正在连接数据库,请等待..."_s);
    QString error;
    if (!connectWith(settings, &error)) {
        say(u"连接数据库失败..."_s);
        if (!error.isEmpty())
            qWarning("%s", qPrintable(error));
        if (Prompt::yesNo(nullptr, u"失败"_s, u"连接数据库失败,是否要重新配置数据库?"_s, Prompt::Icon::Information))
            launcher(QCoreApplication::applicationFilePath(),
                     {u"--configure"_s, u"--home"_s, AppPaths::home()});
        return false;
    }
    OpenSQL(Qry_Custom, u"select * from info"_s);
    loadReports();
    emit connected();
    return true;
}

bool TFrm_Data::OpenSQL(DataSet *ds, const QString &sql, const SqlParams &params)
{
    if (ds->open(sql, params))
        return true;
    Prompt::databaseError(nullptr, ds->lastError());
    return false;
}

bool TFrm_Data::OpenSQL(DataSet *ds, const QString &sql, const SqlArgs &args)
{
    if (ds->open(sql, args))
        return true;
    Prompt::databaseError(nullptr, ds->lastError());
    return false;
}

bool TFrm_Data::RunSQL(const QString &sql, const SqlParams &params)
{
    QString e;
    if (ADOConnection1.exec(sql, params, &e))
        return true;
    Prompt::databaseError(nullptr, e);
    return false;
}

bool TFrm_Data::RunSQL(const QString &sql, const SqlArgs &args)
{
    QString e;
    if (ADOConnection1.exec(sql, args, &e))
        return true;
    Prompt::databaseError(nullptr, e);
    return false;
}

const QList<TFrm_Data::ReportFile> &TFrm_Data::reportFiles()
{
    static const QList<ReportFile> files = {
        {u"frx_bill"_s, u"Reports/frx_bill.fr3"_s, u"会员详细资料"_s},
        {u"frx_huiyuan"_s, u"Reports/frm_huiyuan.fr3"_s, u"会员基本资料"_s},
        {u"frx_xinfeng"_s, u"Reports/frx_xinfeng.fr3"_s, u"信封标签"_s},
        {u"frx_yiyong"_s, u"Reports/frx_yiyong.fr3"_s, u"消费单据"_s},
        {u"frx_goods"_s, u"Reports/frx_goods.fr3"_s, u"商品资料"_s},
        {u"frx_xufei"_s, u"Reports/frx_xufei.fr3"_s, u"储值卡充值单据"_s},
        {u"frx_JCxufei"_s, u"Reports/frx_JCxufei.fr3"_s, u"计次卡充值单据"_s},
        {u"frx_xinxi"_s, u"Reports/frx_xinxi.fr3"_s, u"交班汇总"_s},
    };
    return files;
}

QString TFrm_Data::reportPath(const QString &object)
{
    for (const ReportFile &f : reportFiles())
        if (f.object.compare(object, Qt::CaseInsensitive) == 0)
            return AppPaths::file(f.file);
    return {};
}

void TFrm_Data::loadReports()
{
    for (const ReportFile &f : reportFiles()) {
        auto &slot = m_reports[f.object.toLower()];
        if (!slot)
            slot = std::make_unique<Report>(f.object);
        slot->loadFromFile(AppPaths::file(f.file));
        bindReport(*slot);
    }
}

void TFrm_Data::bindReport(Report &r)
{
    for (const auto &[alias, source] : m_reportSources)
        r.bind(alias, source.get());
    // The member sheet shows the member's photo, or the stand-in picture.
    if (r.name().compare(u"frx_bill"_s, Qt::CaseInsensitive) == 0)
        r.setPictureRule(u"Picture1"_s, u"B"_s, u"Pic"_s, AppPaths::file(u"nopic.jpg"_s));
}

Report *TFrm_Data::report(const QString &object)
{
    const auto it = m_reports.find(object.toLower());
    if (it != m_reports.end())
        return it->second.get();
    for (const ReportFile &f : reportFiles())
        if (f.object.compare(object, Qt::CaseInsensitive) == 0) {
            // Not loaded yet (a test or a tool that never connected): an empty report on its standard path.
            auto &slot = m_reports[f.object.toLower()];
            slot = std::make_unique<Report>(f.object);
            slot->setFileName(AppPaths::file(f.file));
            bindReport(*slot);
            return slot.get();
        }
    return nullptr;
}
