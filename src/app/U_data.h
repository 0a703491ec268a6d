#pragma once
#include "core/IniFile.h"
#include "data/DataSet.h"
#include "data/Database.h"

#include <QObject>
#include <functional>
#include <map>
#include <vector>
#include <memory>

class Report;
class DataSetReportSource;

// The data module: the one shared connection, the Config.ini handle and the
// shared data sets that the windows borrow, with their master-detail links.
class TFrm_Data : public QObject
{
    Q_OBJECT
public:
    explicit TFrm_Data(QObject *parent = nullptr);
    ~TFrm_Data() override;
    static TFrm_Data *instance();

    // Opens Config.ini in the program home and connects. On failure asks whether
    // to reconfigure (Yes starts the connection settings dialog) and returns false;
    // the caller then ends the program. `status` receives the splash texts.
    bool connectDatabase(const std::function<void(const QString &)> &status = {});
    // Connects with explicit settings (tests, --init-db); creates an embedded database when missing.
    bool connectWith(const ConnectionSettings &settings, QString *error);

    Database ADOConnection1;
    IniFile Ini;
    bool DbConnected = false;

    DataSet *Qry_Temp;
    DataSet *Qry_Str;
    DataSet *Qry_Custom;
    DataSet *Qry_SoftInfo;
    DataSet *Qry_FieldShow;
    DataSet *Qry_HY;
    DataSet *Qry_Import;
    DataSet *Qry_Card;
    DataSet *Qry_CardCash;
    DataSet *Qry_Detail;
    DataSet *Qry_CashDetail;
    DataSet *Qry_Goods;
    DataSet *Qry_SelectGoods;
    DataSet *Qry_CardType;
    DataSet *Qry_DHGoods;
    DataSet *Qry_DHRecord;
    DataSet *Qry_Bill;
    DataSet *qry_Money;
    DataSet *Qry_Other;

    // Finds a shared data set by its name without regard to case (report bindings, tests).
    DataSet *dataSet(const QString &name) const;

    // Closes the data set, runs the statement with its bound values and opens it.
    // A failure is shown once with the server's text; false tells the caller to stop.
    bool OpenSQL(DataSet *ds, const QString &sql, const SqlParams &params = {});
    bool OpenSQL(DataSet *ds, const QString &sql, const SqlArgs &args);
    // Runs a statement that returns no rows, the same way.
    bool RunSQL(const QString &sql, const SqlParams &params = {});
    bool RunSQL(const QString &sql, const SqlArgs &args);

    // Whether Qry_CashDetail computes Cmoney: only while a bill window exists.
    void setBillWindowOpen(bool open) { m_billWindowOpen = open; }
    bool billWindowOpen() const { return m_billWindowOpen; }

    // The print templates: report object name → file under the program home.
    struct ReportFile { QString object; QString file; QString job; };
    static const QList<ReportFile> &reportFiles();
    static QString reportPath(const QString &object);
    // The loaded print template of a report object (frx_bill …); nullptr for an unknown name.
    Report *report(const QString &object);
    // Loads every template from its file: a missing file leaves that report empty,
    // without a message; a damaged one is reported when it is printed or designed.
    void loadReports();

    // How "Yes" to the reconfigure question starts the settings dialog; tests replace it.
    static std::function<bool(const QString &program, const QStringList &args)> launcher;

signals:
    // Emitted after the connection opened and the company record was read; the
    // report engine loads the templates here.
    void connected();

private:
    bool m_billWindowOpen = false;
    std::map<QString, std::unique_ptr<Report>> m_reports; // lower-case object name
    // The named data sets templates read: B members, A bills, F lines of the bill
    // being edited, m goods, X top-ups.
    std::vector<std::pair<QString, std::unique_ptr<DataSetReportSource>>> m_reportSources;
    void bindReport(Report &r);
};

// Shorthand used by the windows, as the data module is one per program.
inline TFrm_Data *Frm_Data() { return TFrm_Data::instance(); }
