// The preview and the designer, headless: found by object name, driven by their
// actions. With ORVALIS_SHOTS=<dir> the windows are also saved as PNG files there.
#include "ReportFixtures.h"
#include "report/GridPrinter.h"
#include "report/ReportDesigner.h"
#include "report/ReportPreview.h"
#include "report/ReportUi.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QTemporaryDir>
#include <QMimeData>
#include <QTableWidget>
#include <QTreeWidget>
#include <QTest>
#include <QUndoStack>

class TestReportUi : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;
    QStringList messages;
    ReportTable members{cardFields()};
    ReportTable lines{{u"GoodsCode"_s, u"GoodsName"_s, u"Units"_s, u"Number"_s, u"Price"_s, u"Discount"_s,
                       u"CashMoney"_s, u"Remark"_s}};
    ReportTable bill{{u"CashDate"_s, u"Percent"_s, u"F_User"_s, u"BillCode"_s}};

    static void shot(QWidget *w, const QString &name)
    {
        const QString dir = qEnvironmentVariable("ORVALIS_SHOTS");
        if (dir.isEmpty())
            return;
        w->show();
        QTest::qWait(50);
        w->grab().save(dir + u'/' + name + u".png"_s);
    }

    static void trigger(QWidget *w, const QString &action)
    {
        auto *a = w->findChild<QAction *>(action);
        QVERIFY2(a, qPrintable(action));
        a->trigger();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        if (const QString dir = qEnvironmentVariable("ORVALIS_SHOTS"); !dir.isEmpty())
            QDir().mkpath(dir);
        ReportUi::setMessageHandler([this](QWidget *, const QString &t) { messages << t; });
        QImage photo(300, 400, QImage::Format_RGB32);
        photo.fill(QColor(70, 130, 180));
        for (int y = 80; y < 200; ++y)
            for (int x = 100; x < 200; ++x)
                photo.setPixelColor(x, y, QColor(250, 220, 190));
        QVERIFY(photo.save(tmp.filePath(u"photo.jpg"_s)));
        addCard(members, u"A001"_s, u"张大三"_s, tmp.filePath(u"photo.jpg"_s));
        addCard(members, u"A002"_s, u"李小四"_s, tmp.filePath(u"missing.jpg"_s));
        members.setCurrentRow(0);
        lines.addRow({u"G001"_s, u"洗发水"_s, u"瓶"_s, 2, 25.0, 1.0, 50.0, u"赠品另计"_s});
        lines.addRow({u"G002"_s, u"护理卡"_s, u"张"_s, 1, 85.5, 1.0, 85.5, QString()});
        bill.addRow({QDate(2025, 5, 20), 0.1, u"Admin"_s, u"XF20250520001"_s});
    }
    void init() { messages.clear(); }
    void cleanup()
    {
        ReportPreview::setTestHook({});
        ReportDesigner::setTestHook({});
    }

    static void mouse(QWidget *w, QEvent::Type type, QPointF pos)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, pos, w->mapToGlobal(pos), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    static void drag(QWidget *w, QPointF from, QPointF to)
    {
        mouse(w, QEvent::MouseButtonPress, from);
        mouse(w, QEvent::MouseMove, (from + to) / 2);
        mouse(w, QEvent::MouseMove, to);
        mouse(w, QEvent::MouseButtonRelease, to);
    }
    static void editProperty(ReportDesigner *d, const QString &key, const QString &value)
    {
        auto *t = d->findChild<QTableWidget *>(u"Tbl_Properties"_s);
        for (int r = 0; r < t->rowCount(); ++r)
            if (t->item(r, 0)->data(Qt::UserRole).toString() == key) {
                t->item(r, 1)->setText(value);
                return;
            }
        QFAIL(qPrintable(u"no property "_s + key));
    }

    void previewNavigatesAndExports()
    {
        Report r(u"frx_bill"_s);
        QVERIFY(r.loadFromFile(templatePath(u"frx_bill.fr3"_s)));
        r.bind(u"B"_s, &members);
        r.setPictureRule(u"Picture1"_s, u"B"_s, u"Pic"_s, resourcesDir() + u"/nopic.jpg"_s);
        bool ran = false;
        ReportPreview::setTestHook([&](ReportPreview *p) {
            ran = true;
            QCOMPARE(p->objectName(), u"ReportPreview"_s);
            QCOMPARE(p->pageCount(), 2);
            auto *label = p->findChild<QLabel *>(u"Lbl_Page"_s);
            QCOMPARE(label->text(), u"第 1 / 2 页"_s);
            p->resize(900, 1000);
            p->fitWidth();
            shot(p, u"preview-bill"_s);
            trigger(p, u"Act_Next"_s);
            QCOMPARE(p->currentPage(), 1);
            QCOMPARE(label->text(), u"第 2 / 2 页"_s);
            shot(p, u"preview-bill-nopic"_s);
            const double zoom = p->zoom();
            trigger(p, u"Act_ZoomIn"_s);
            QCOMPARE(p->zoom(), zoom * 1.25);
            trigger(p, u"Act_First"_s);
            QCOMPARE(p->currentPage(), 0);
            const QString pdf = tmp.filePath(u"preview.pdf"_s);
            QVERIFY(p->exportPdf(pdf));
            QVERIFY(pdfText(pdf).contains(u"李小四"_s));
            // The printer gets the same pages.
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(tmp.filePath(u"printed.pdf"_s));
            p->printTo(printer, 2, 2);
            const QString printed = pdfText(tmp.filePath(u"printed.pdf"_s));
            QVERIFY(printed.contains(u"李小四"_s));
            QVERIFY(!printed.contains(u"张大三"_s));
        });
        ReportPreview::showReport(nullptr, r);
        QVERIFY(ran);
        QVERIFY(messages.isEmpty());
        QCOMPARE(r.fallbackPictureCount(), 1);
    }

    void receiptPreview()
    {
        Report r(u"frx_yiyong"_s);
        QVERIFY(r.loadFromFile(templatePath(u"frx_yiyong.fr3"_s)));
        r.bind(u"B"_s, &members);
        r.bind(u"A"_s, &bill);
        r.bind(u"F"_s, &lines);
        r.setMemoText(u"Memo_BigMoney"_s, u"壹佰叁拾伍元伍角整"_s);
        ReportPreview::setTestHook([&](ReportPreview *p) {
            QCOMPARE(p->pageCount(), 1);
            p->resize(1000, 760);
            p->fitWidth();
            shot(p, u"preview-receipt"_s);
        });
        ReportPreview::showReport(nullptr, r);
        QVERIFY(itemTexts(r.pages(), u"Memo_Total"_s).contains(u"135.50"_s));
    }

    // A damaged template: one message when printed, then an empty preview.
    // A missing one: an empty preview and no message.
    void brokenOrMissingTemplate()
    {
        const QString damaged = tmp.filePath(u"frx_goods.fr3"_s);
        QFile f(damaged);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<report><band type=");
        f.close();
        int pages = -1;
        bool printable = true;
        ReportPreview::setTestHook([&](ReportPreview *p) {
            pages = p->pageCount();
            printable = p->findChild<QAction *>(u"Act_Print"_s)->isEnabled();
        });

        Report r(u"frx_goods"_s);
        r.loadFromFile(damaged);
        ReportPreview::showReport(nullptr, r);
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().contains(u"frx_goods.fr3"_s));
        QCOMPARE(pages, 0);
        QVERIFY(!printable);

        messages.clear();
        Report missing(u"frx_xinfeng"_s);
        missing.loadFromFile(tmp.filePath(u"nothing.fr3"_s));
        ReportPreview::showReport(nullptr, missing);
        QVERIFY(messages.isEmpty());
        QCOMPARE(pages, 0);
    }

    // Select with the mouse, drag on the grid, edit a property, drop a field,
    // undo and redo by name, save, and the report object prints the saved design.
    void designerEditsAndSaves()
    {
        QDir().mkpath(tmp.filePath(u"home/Reports"_s));
        const QString path = tmp.filePath(u"home/Reports/frx_goods.fr3"_s);
        QFile::remove(path);
        QVERIFY(QFile::copy(templatePath(u"frx_goods.fr3"_s), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        ReportTable goods{{u"GoodsCode"_s, u"GoodsName"_s, u"GoodsType"_s, u"SalePrice"_s, u"InPrice"_s, u"Units"_s,
                           u"BarCode"_s, u"Remark"_s}};
        goods.addRow({u"G001"_s, u"洗发水"_s, u"01"_s, 25.0, 12.0, u"瓶"_s, QString(), QString()});
        Report r(u"frx_goods"_s);
        QVERIFY(r.loadFromFile(path));
        r.bind(u"m"_s, &goods);
        ReportTemplate saved;
        bool ran = false;
        ReportDesigner::setTestHook([&](ReportDesigner *d) {
            ran = true;
            d->resize(1280, 820);
            d->show();
            QVERIFY(QTest::qWaitForWindowExposed(d));
            QWidget *canvas = d->findChild<QWidget *>(u"DesignCanvas"_s);
            QVERIFY(canvas);
            QVERIFY(d->problems().isEmpty());
            const QRectF title = d->canvasRect(u"Memo_Title"_s);
            const double x0 = d->design().findObject(u"Memo_Title"_s)->rect.x();
            const double pxPerMm = title.width() / d->design().findObject(u"Memo_Title"_s)->rect.width();
            drag(canvas, title.center(), title.center() + QPointF(10 * pxPerMm, 0));
            QCOMPARE(d->selectedObject(), u"Memo_Title"_s);
            QCOMPARE(d->design().findObject(u"Memo_Title"_s)->rect.x(), x0 + 10);
            QUndoStack *undo = d->undoStack();
            QCOMPARE(undo->count(), 1);

            editProperty(d, u"name"_s, u"Memo_Heading"_s);
            editProperty(d, u"text"_s, u"商品资料一览"_s);
            editProperty(d, u"size"_s, u"not a number"_s);  // refused, nothing recorded
            QCOMPARE(undo->count(), 3);
            QCOMPARE(d->design().findObject(u"memo_heading"_s)->text, u"商品资料一览"_s);

            // drag a field from the field list onto the data band
            auto *tree = d->findChild<QTreeWidget *>(u"Tree_Fields"_s);
            const auto found = tree->findItems(u"GoodsName"_s, Qt::MatchExactly | Qt::MatchRecursive);
            QCOMPARE(found.size(), 1);
            std::unique_ptr<QMimeData> mime(tree->model()->mimeData({tree->model()->index(1, 0, tree->model()->index(0, 0))}));
            QVERIFY(mime);
            QCOMPARE(mime->text(), u"[m.\"GoodsName\"]"_s);
            const QRectF cell = d->canvasRect(u"Memo_D4"_s);
            const QPointF at = cell.topLeft() + QPointF(2, 1);
            QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(canvas, &enter);
            QDropEvent drop(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(canvas, &drop);
            QCOMPARE(d->selectedObject(), u"Memo1"_s);
            QCOMPARE(d->design().bandIndexOfObject(u"Memo1"_s), d->design().bandIndexOfObject(u"Memo_D4"_s));
            QCOMPARE(d->design().findObject(u"Memo1"_s)->text, u"[m.\"GoodsName\"]"_s);
            editProperty(d, u"text"_s, u"[m.\"Nope\"]"_s);
            QVERIFY(d->problems().join(u'\n').contains(u"Nope"_s));
            editProperty(d, u"text"_s, u"[m.\"GoodsName\"]"_s);
            QVERIFY(d->problems().isEmpty());
            // Delete on the canvas removes it; undo brings it back
            canvas->setFocus();
            QTest::keyClick(canvas, Qt::Key_Delete);
            QVERIFY(!d->design().findObject(u"Memo1"_s));
            undo->undo();
            QVERIFY(d->design().findObject(u"Memo1"_s));
            d->selectObject(u"memo_heading"_s);
            QCOMPARE(d->selectedObject(), u"Memo_Heading"_s);
            shot(d, u"designer"_s);

            // resize with the corner handle, and a band by its lower edge
            const QRectF heading = d->canvasRect(u"Memo_Heading"_s);
            const double h0 = d->design().findObject(u"Memo_Heading"_s)->rect.height();
            drag(canvas, heading.bottomRight() - QPointF(1, 1), heading.bottomRight() - QPointF(1, 1 + 4 * pxPerMm));
            QCOMPARE(d->design().findObject(u"Memo_Heading"_s)->rect.height(), h0 - 4);
            const QRectF band = d->canvasBandRect(u"MasterData1"_s);
            const double b0 = d->design().findBand(u"MasterData1"_s)->height;
            drag(canvas, QPointF(band.center().x(), band.bottom()), QPointF(band.center().x(), band.bottom() + 5 * pxPerMm));
            QCOMPARE(d->design().findBand(u"MasterData1"_s)->height, b0 + 5);
            undo->undo();
            undo->undo();
            QCOMPARE(d->design().findBand(u"MasterData1"_s)->height, b0);
            QCOMPARE(d->design().findObject(u"Memo_Heading"_s)->rect.height(), h0);

            // the designer's preview shows the design as it stands, unsaved
            QStringList previewed;
            ReportPreview::setTestHook([&](ReportPreview *p) { previewed = itemTexts(p->pages(), u"Memo_Heading"_s); });
            trigger(d, u"Act_Preview"_s);
            QCOMPARE(previewed, QStringList{u"商品资料一览"_s});
            QVERIFY(!r.design().findObject(u"Memo_Heading"_s));

            // undo everything: rename and move are found again by name
            while (undo->canUndo())
                undo->undo();
            QVERIFY(d->design() == r.design());
            while (undo->canRedo())
                undo->redo();
            QCOMPARE(d->design().findObject(u"Memo_Heading"_s)->rect.x(), x0 + 10);
            QVERIFY(!d->design().findObject(u"Memo_Title"_s));

            trigger(d, u"Act_Save"_s);
            QVERIFY(undo->isClean());
            saved = d->design();
        });
        ReportDesigner::designReport(nullptr, r);
        QVERIFY(ran);
        QVERIFY(messages.isEmpty());
        QVERIFY(r.design() == saved);
        Report again;
        QVERIFY(again.loadFromFile(path));
        QVERIFY(again.design() == saved);
        // the next print uses the saved design
        QCOMPARE(itemTexts(r.prepare(), u"Memo_Heading"_s), QStringList{u"商品资料一览"_s});
    }

    // A report whose file was missing at start saves to that path; a damaged one
    // gives its message once and opens empty.
    void designerOnMissingOrDamagedFile()
    {
        const QString path = tmp.filePath(u"fresh/Reports/frx_xinfeng.fr3"_s);
        Report r(u"frx_xinfeng"_s);
        QVERIFY(!r.loadFromFile(path));
        r.bind(u"B"_s, &members);
        ReportDesigner::setTestHook([&](ReportDesigner *d) {
            QVERIFY(d->design().isEmpty());
            // nothing selected: the table edits the page
            editProperty(d, u"paper"_s, u"B9"_s);
            QCOMPARE(d->design().page.paper, u"A4"_s);
            editProperty(d, u"paper"_s, u"dl"_s);
            editProperty(d, u"landscape"_s, u"true"_s);
            QCOMPARE(d->design().page.size(), QSizeF(220, 110));
            QCOMPARE(d->undoStack()->count(), 2);
            trigger(d, u"Act_AddBand_MasterData"_s);
            QCOMPARE(d->design().bands.size(), 1);
            QCOMPARE(d->design().bands.first().dataSet, u"B"_s);
            d->dropField(u"B"_s, u"MemName"_s, d->selectedBand(), QPointF(5, 1));
            trigger(d, u"Act_Save"_s);
        });
        ReportDesigner::designReport(nullptr, r);
        QVERIFY(messages.isEmpty());
        QVERIFY(QFile::exists(path));
        QCOMPARE(itemTexts(r.prepare(), u"Memo1"_s), (QStringList{u"张大三"_s, u"李小四"_s}));

        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("<report><band");
        f.close();
        Report damaged(u"frx_xinfeng"_s);
        damaged.loadFromFile(path);
        bool empty = false;
        ReportDesigner::setTestHook([&](ReportDesigner *d) { empty = d->design().isEmpty(); });
        ReportDesigner::designReport(nullptr, damaged);
        QCOMPARE(messages.size(), 1);
        QVERIFY(empty);
    }

    void gridPrint_data()
    {
        QTest::addColumn<bool>("fit");
        QTest::addColumn<bool>("landscape");
        QTest::newRow("fit to width") << true << false;
        QTest::newRow("own widths, wide") << false << true;
    }
    void gridPrint()
    {
        QFETCH(bool, fit);
        QFETCH(bool, landscape);
        const QList<GridPrintColumn> cols{
            {.caption = u"商品名称"_s, .field = u"GoodsName"_s, .widthPx = 300},
            {.caption = u"数量"_s, .field = u"Number"_s, .widthPx = 300, .alignment = Qt::AlignRight},
            {.caption = u"金额"_s, .field = u"CashMoney"_s, .widthPx = 300, .alignment = Qt::AlignRight,
             .sumText = u"135.50"_s, .format = u"0.00"_s}};
        LayoutPages pages;
        ReportPreview::setTestHook([&](ReportPreview *p) {
            pages = p->pages();
            if (fit)
                shot(p, u"preview-grid"_s);
        });
        printTable(nullptr, u"消费明细"_s, cols, lines, fit);
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages.first().size.width() > pages.first().size.height(), landscape);
        QStringList captions, amounts;
        double right = 0;
        for (const LayoutItem &it : pages.first().items) {
            if (it.objectName.startsWith(u"Memo_H"_s)) {
                captions << it.text;
                right = std::max(right, it.rect.right());
            }
            if (it.objectName == u"Memo_D3"_s || it.objectName == u"Memo_S3"_s)
                amounts << it.text;
        }
        QCOMPARE(captions, (QStringList{u"商品名称"_s, u"数量"_s, u"金额"_s}));
        QCOMPARE(amounts, (QStringList{u"50.00"_s, u"85.50"_s, u"135.50"_s}));
        if (fit)
            QCOMPARE(qRound(right * 10), 2000); // 210 mm less 10 mm margins
        else
            QCOMPARE(qRound(right), 10 + qRound(900 * 25.4 / 96));
        QCOMPARE(lines.currentRow(), 0);
    }
};

QTEST_MAIN(TestReportUi)
#include "tst_reportui.moc"
