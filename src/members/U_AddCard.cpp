#include "U_AddCard.h"
#include "ui_U_AddCard.h"

#include "MemberRules.h"
#include "app/AppPaths.h"
#include "app/Prompt.h"
#include "app/Session.h"
#include "app/U_data.h"
#include "core/Format.h"
#include "grid/DataGrid.h"
#include "grid/U_tree.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace {

// Date boxes that can be empty: the first day they offer stands for "not set"
// and shows blank; an empty box stores day 0.
void makeClearable(QDateEdit *d)
{
    d->setMinimumDate(fmt::dayZero());
    d->setSpecialValueText(u" "_s);
    d->setDate(fmt::dayZero());
}
void clearDate(QDateEdit *d) { d->setDate(fmt::dayZero()); }
void setDate(QDateEdit *d, const QVariant &v)
{
    const QDate date = fmt::toDate(v);
    d->setDate(fmt::isDateSet(date) ? date : fmt::dayZero());
}
// Issue and expiry dates: day 0 when not set.
QVariant dayOrZero(const QDateEdit *d) { return fmt::isDateSet(d->date()) ? d->date() : fmt::dayZero(); }
// Birthday and the custom date: NULL when not set.
QVariant dayOrNull(const QDateEdit *d)
{
    return fmt::isDateSet(d->date()) ? QVariant(d->date()) : QVariant(QMetaType::fromType<QDate>());
}

const QString WarningCaption = u"警告"_s;

} // namespace

TFrm_AddCard::TFrm_AddCard(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TFrm_AddCard>())
{
    ui->setupUi(this);
    setFont(QFont(u"WenQuanYi Micro Hei"_s, 9));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    for (QDateEdit *d : findChildren<QDateEdit *>())
        makeClearable(d);
    for (QLineEdit *e : {ui->Edit_Cent, ui->Edit_Cent2, ui->Edit_Cent3, ui->Edit_Cent4})
        e->setStyleSheet(u"background: #f0f0f0;"_s);
    ui->Lbl_khmoney2->setText(u"卡中金额"_s);
    ui->Lbl_khmoney3->setText(u"可用次数"_s);
    ui->DBGridEh1->setVisible(false);
    ui->DBGridEh1->setReadOnly(true);
    ui->Image1->installEventFilter(this);
    ui->Image1->setScaledContents(false);

    QAction *categoryButton = ui->Edit_Category->addAction(style()->standardIcon(QStyle::SP_DirOpenIcon),
                                                            QLineEdit::TrailingPosition);
    categoryButton->setObjectName(u"Edit_CategoryButton"_s);
    categoryButton->setToolTip(u"选择会员分组"_s);
    connect(categoryButton, &QAction::triggered, this, &TFrm_AddCard::Edit_CategoryButtonClick);
    QAction *levelButton = ui->edit_level->addAction(style()->standardIcon(QStyle::SP_ArrowDown),
                                                      QLineEdit::TrailingPosition);
    levelButton->setObjectName(u"edit_levelButton"_s);
    connect(levelButton, &QAction::triggered, this, &TFrm_AddCard::ShowLevelGrid);
    connect(ui->edit_level, &QLineEdit::textEdited, this, &TFrm_AddCard::ShowLevelGrid);

    m_levels = new DataSet(Frm_Data() ? &Frm_Data()->ADOConnection1 : nullptr, this);
    m_levels->setObjectName(u"Qry_Level"_s);
    ui->DBGridEh1->setDataSet(m_levels);
    connect(ui->DBGridEh1->view(), &QAbstractItemView::clicked, this, &TFrm_AddCard::DBGridEh1CellClick);

    connect(ui->Combo_Card, &QComboBox::currentIndexChanged, this, &TFrm_AddCard::Combo_CardChange);
    connect(ui->Btn_OK, &QPushButton::clicked, this, &TFrm_AddCard::Btn_OKClick);
    connect(ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->SpeedButton1, &QToolButton::clicked, this, &TFrm_AddCard::Image1DblClick);
    connect(ui->nbFirst, &QToolButton::clicked, this, [this] { navigate(0); });
    connect(ui->nbPrior, &QToolButton::clicked, this, [this] { navigate(1); });
    connect(ui->nbNext, &QToolButton::clicked, this, [this] { navigate(2); });
    connect(ui->nbLast, &QToolButton::clicked, this, [this] { navigate(3); });

    // Enter moves to the next box, as on the paper form the operator copies from.
    for (QWidget *w : findChildren<QWidget *>())
        if (qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) || qobject_cast<QDateEdit *>(w))
            w->installEventFilter(this);
}

TFrm_AddCard::~TFrm_AddCard() = default;

TFrm_AddCard::Page TFrm_AddCard::page(int index) const
{
    switch (index) {
    case 1:
        return {ui->DE_bksj2, ui->DE_dqsj2, ui->Edit_Cent2, ui->Edit_StartCent2, ui->Combo_User2, ui->memo2,
                ui->Edit_truepass, ui->Edit_khmoney2, ui->Lbl_khmoney2};
    case 2:
        return {ui->DE_bksj3, ui->DE_dqsj3, ui->Edit_Cent3, ui->Edit_StartCent3, ui->Combo_User3, ui->memo3,
                ui->Edit_Pass3, ui->Edit_khmoney3, ui->Lbl_khmoney3};
    case 3:
        return {ui->DE_bksj4, ui->DE_dqsj4, ui->Edit_Cent4, ui->Edit_StartCent4, ui->Combo_User4, ui->memo4,
                ui->Edit_Pass4, ui->Edit_khmoney4, ui->Lbl_khmoney4};
    default:
        return {ui->DE_bksj, ui->DE_dqsj, ui->Edit_Cent, ui->Edit_StartCent, ui->Combo_User, ui->memo1, nullptr,
                nullptr, nullptr};
    }
}

TFrm_AddCard::Page TFrm_AddCard::currentPage() const { return page(ui->PageControl1->currentIndex()); }

void TFrm_AddCard::showEvent(QShowEvent *e)
{
    if (!m_shown)
        FormShow();
    QDialog::showEvent(e);
}

void TFrm_AddCard::FormShow()
{
    m_shown = true;
    TFrm_Data *dm = Frm_Data();
    m_levels->open(u"select * from Dict_CardType"_s);
    DataGrid::Column id{u"ID"_s, u"ID"_s, 40};
    DataGrid::Column name{u"CardType"_s, u"会员卡级别"_s, 120};
    DataGrid::Column discount{u"Discount"_s, u"折扣"_s, 70};
    ui->DBGridEh1->setColumns({id, name, discount});
    if (m_levels->rowCount() > 0) {
        ui->edit_level->setText(m_levels->value(0, u"CardType"_s).toString());
        ui->Combo_CardLevel->setEditText(m_levels->text(0, m_levels->fieldIndex(u"Discount"_s)));
    }
    ui->PageControl1->setCurrentIndex(0);
    applyCaptions();

    ui->Combo_CardLevel->clear();
    for (int r = 0; r < m_levels->rowCount(); ++r)
        ui->Combo_CardLevel->addItem(m_levels->text(r, m_levels->fieldIndex(u"Discount"_s)));
    ui->Combo_mz->clear();
    if (dm) {
        DataSet mz(&dm->ADOConnection1);
        if (mz.open(u"select * from Dict_MZ"_s) && mz.fieldCount() > 1)
            for (int r = 0; r < mz.rowCount(); ++r)
                ui->Combo_mz->addItem(mz.text(r, 1));
    }
    ui->DBGridEh1->setVisible(false);

    if (AddMode == 1) {
        setWindowTitle(u"添加会员信息"_s);
        clearForm();
        ui->Lbl_khmoney2->setText(u"开户金额"_s);
        ui->Lbl_khmoney3->setText(u"开户金额"_s);
        ui->Lbl_khmoney4->setText(u"开户金额"_s);
        ui->DBNavigator1->setVisible(false);
        ui->Btn_OK->setText(u"新增(&A)"_s);
    } else {
        setWindowTitle(u"编辑会员信息"_s);
        LoadCurrentMember();
        ui->Edit_Code->setEnabled(false);
        ui->Combo_Card->setEnabled(false);
        ui->Edit_khmoney2->setEnabled(false);
        ui->Edit_khmoney3->setEnabled(false);
        ui->Edit_khmoney4->setEnabled(false);
        ui->Edit_Pass3->clear();
        ui->DBNavigator1->setVisible(true);
        ui->Btn_OK->setText(u"保存(&S)"_s);
    }
    ui->Edit_Name->setFocus();
}

void TFrm_AddCard::applyCaptions()
{
    TFrm_Data *dm = Frm_Data();
    if (!dm)
        return;
    DataSet rows(&dm->ADOConnection1);
    if (!rows.open(u"select * from T_FieldShow where tablename = ?"_s, SqlArgs{u"card"_s}))
        return;
    const QList<QLabel *> labels = findChildren<QLabel *>();
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QString field = rows.value(r, u"Field"_s).toString().trimmed();
        const QString caption = rows.value(r, u"Name"_s).toString();
        if (field.isEmpty())
            continue;
        // The kind pages repeat their labels as Name_2, Name_3 …
        for (QLabel *l : labels) {
            const QString n = l->objectName();
            if (n.compare(field, Qt::CaseInsensitive) == 0
                || (n.size() == field.size() + 2 && n.startsWith(field, Qt::CaseInsensitive)
                    && n.at(field.size()) == u'_' && n.at(field.size() + 1).isDigit()))
                l->setText(caption);
        }
    }
}

QString TFrm_AddCard::captionOf(const QString &labelName) const
{
    auto *l = findChild<QLabel *>(labelName);
    return l ? l->text() : labelName;
}

void TFrm_AddCard::clearForm()
{
    for (QLineEdit *e : {ui->Edit_Name, ui->Edit_Code, ui->Edit_dw, ui->Edit_Address, ui->Edit_tel, ui->Edit_Email,
                         ui->Edit_Mobile, ui->Edit_Zip, ui->Edit_Other1, ui->Edit_Other2, ui->Edit_Other3,
                         ui->Edit_Pass2, ui->Edit_truepass, ui->Edit_Pass3, ui->Edit_Pass4, ui->memo1, ui->memo2,
                         ui->memo3, ui->memo4})
        e->clear();
    ui->Combo_mz->setEditText(QString());
    ui->Combo_CardLevel->setEditText(QString());
    ui->Combo_Other5->setEditText(QString());
    ui->Combo_Other6->setEditText(QString());
    clearDate(ui->DE_Birthday);
    clearDate(ui->DateEdit1);
    const QString op = Session::instance().CurrentOperator;
    for (int i = 0; i < 4; ++i) {
        const Page p = page(i);
        clearDate(p.issue);
        clearDate(p.expiry);
        p.cent->setText(u"0"_s);
        p.startCent->setText(u"0"_s);
        p.recorder->setEditText(op);
        if (p.amount)
            p.amount->setText(u"0"_s);
    }
    setCategory({}, {});
    setPicture({});
}

void TFrm_AddCard::Combo_CardChange()
{
    const int index = ui->Combo_Card->currentIndex();
    if (index >= 0 && index < ui->PageControl1->count())
        ui->PageControl1->setCurrentIndex(index);
}

void TFrm_AddCard::setCategory(const QString &code, const QString &name)
{
    CategoryCode = code;
    ui->Edit_Category->setText(name);
}

void TFrm_AddCard::setPicture(const QString &path)
{
    PicturePath = path;
    QString shown = path;
    if (shown.isEmpty() || !QFileInfo::exists(shown))
        shown = AppPaths::file(u"nopic.jpg"_s);
    QPixmap pix(shown);
    if (pix.isNull()) {
        ui->Image1->setPixmap({});
        ui->Image1->setText(u"(图片)"_s);
        return;
    }
    ui->Image1->setPixmap(pix.scaled(ui->Image1->minimumSize(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void TFrm_AddCard::LoadCurrentMember()
{
    TFrm_Data *dm = Frm_Data();
    DataSet *c = dm->Qry_Card;
    if (!c->isOpen() || c->currentRow() < 0)
        return;
    ui->Edit_Name->setText(c->text(u"MemName"_s));
    ui->Combo_sex->setCurrentText(c->text(u"Sex"_s));
    setDate(ui->DE_Birthday, c->value(u"Birthday"_s));
    const QString category = c->text(u"Category"_s);
    const QString categoryName =
        category.isEmpty() ? QString()
                           : dm->ADOConnection1.scalar(u"select name from Mem_Category where code = ?"_s,
                                                       SqlArgs{category}).toString();
    setCategory(category, categoryName);
    ui->Combo_mz->setEditText(c->text(u"mz"_s));
    ui->Edit_dw->setText(c->text(u"dw"_s));
    ui->Edit_Mobile->setText(c->text(u"Mobile"_s));
    ui->Edit_Address->setText(c->text(u"address"_s));
    ui->Edit_tel->setText(c->text(u"tel"_s));
    ui->Edit_Email->setText(c->text(u"email"_s));
    ui->Edit_Zip->setText(c->text(u"Zip"_s));
    setPicture(c->text(u"Pic"_s));
    ui->Edit_Other1->setText(c->text(u"Other1"_s));
    ui->Edit_Other2->setText(c->text(u"Other2"_s));
    ui->Edit_Other3->setText(c->text(u"Other3"_s));
    setDate(ui->DateEdit1, c->value(u"Other4"_s));
    ui->Combo_Other5->setEditText(c->text(u"Other5"_s));
    ui->Combo_Other6->setEditText(c->text(u"Other6"_s));

    const QString kind = c->text(u"NewCard"_s);
    const int index = members::cardKinds().indexOf(kind);
    if (index < 0)
        return; // an unknown kind changes no page
    ui->PageControl1->setCurrentIndex(index);
    const Page p = page(index);
    if (index == 1) {
        ui->Edit_Pass2->setText(c->text(u"Password"_s));
        ui->Edit_truepass->setText(c->text(u"Password"_s));
    } else if (index == 3) {
        ui->Edit_Pass4->setText(c->text(u"Password"_s));
        ui->edit_level->setText(c->text(u"CardLevel"_s));
    }
    if (p.amount)
        p.amount->setText(c->money(u"Money"_s).toPlainString());
    ui->Edit_Code->setText(c->text(u"CardCode"_s));
    ui->Combo_Card->setCurrentIndex(index);
    ui->Combo_state->setCurrentText(c->text(u"state"_s));
    const QVariant discount = c->value(u"Discount"_s);
    ui->Combo_CardLevel->setEditText(discount.isNull() ? QString() : fmt::general(discount.toDouble()));
    p.memo->setText(c->text(u"memo"_s));
    p.cent->setText(fmt::general(c->value(u"Cent"_s).toDouble()));
    p.startCent->setText(fmt::general(c->value(u"StartCent"_s).toDouble()));
    p.recorder->setEditText(c->text(u"UserName"_s));
    setDate(p.issue, c->value(u"BeginDate"_s));
    setDate(p.expiry, c->value(u"EndDate"_s));
}

void TFrm_AddCard::refocus(QWidget *w)
{
    if (w)
        w->setFocus();
}

bool TFrm_AddCard::checkNumber(const QString &text, QLineEdit *box, const QString &what, bool allowEmpty, double *out)
{
    if (allowEmpty && text.trimmed().isEmpty())
        return true;
    if (fmt::parseNumber(text, out))
        return true;
    Prompt::show(this, WarningCaption, QString(what + u"必须是数字!"_s), Prompt::Icon::Information);
    refocus(box);
    return false;
}

void TFrm_AddCard::Btn_OKClick()
{
    TFrm_Data *dm = Frm_Data();
    Database &db = dm->ADOConnection1;
    const Page p = currentPage();
    const int kindIndex = ui->PageControl1->currentIndex();
    const QString kind = members::cardKinds().value(kindIndex);

    if (ui->Edit_Pass2->text() != ui->Edit_truepass->text()) {
        Prompt::information(this, u"提示"_s, u"两次输入的密码不一致,请重新输入!"_s);
        ui->Edit_truepass->clear();
        refocus(ui->Edit_truepass);
        return;
    }
    if (ui->Edit_Code->text().isEmpty()) {
        Prompt::show(this, WarningCaption, QString(captionOf(u"CardCode"_s) + u"不得为空"_s), Prompt::Icon::Information);
        refocus(ui->Edit_Code);
        return;
    }
    if (ui->Edit_Name->text().isEmpty()) {
        Prompt::show(this, WarningCaption, QString(captionOf(u"MemName"_s) + u"不得为空"_s), Prompt::Icon::Information);
        refocus(ui->Edit_Name);
        return;
    }
    if (AddMode == 1) {
        bool ok = false;
        const bool taken = members::CardCodeTaken(db, ui->Edit_Code->text(), &ok);
        if (!ok) {
            Prompt::databaseError(this, db.lastError());
            return;
        }
        if (taken) {
            const QString cap = captionOf(u"CardCode"_s);
            Prompt::show(this, WarningCaption, QString(cap + u"有重复，请您换一个"_s + cap), Prompt::Icon::Information);
            refocus(ui->Edit_Code);
            return;
        }
    }
    // Every number is checked before anything is written.
    double startCent = 0;
    if (!checkNumber(p.startCent->text(), p.startCent, captionOf(p.startCent == ui->Edit_StartCent
                                                                      ? u"StartCent"_s
                                                                      : u"StartCent_"_s + QString::number(kindIndex + 1)),
                     false, &startCent))
        return;
    double discount = 0;
    const QString discountText = ui->Combo_CardLevel->currentText();
    if (!checkNumber(discountText, nullptr, captionOf(u"F_type"_s), true, &discount)) {
        refocus(ui->Combo_CardLevel);
        return;
    }
    Money opening;
    qint64 uses = 0;
    if (AddMode == 1 && p.amount) {
        if (!Money::parse(p.amount->text().trimmed(), &opening)
            || (kind == members::KindCount && !members::CountCardUses(p.amount->text(), &uses))) {
            Prompt::show(this, WarningCaption, QString(p.amountLabel->text() + u"必须是数字!"_s),
                         Prompt::Icon::Information);
            refocus(p.amount);
            return;
        }
        if (opening.isNegative()) {
            Prompt::show(this, WarningCaption, QString(p.amountLabel->text() + u"不能为负数!"_s),
                         Prompt::Icon::Information);
            refocus(p.amount);
            return;
        }
    }

    QVariantMap cols;
    cols[u"BeginDate"_s] = dayOrZero(p.issue);
    cols[u"EndDate"_s] = dayOrZero(p.expiry);
    cols[u"MemName"_s] = ui->Edit_Name->text();
    cols[u"dw"_s] = ui->Edit_dw->text();
    cols[u"Sex"_s] = ui->Combo_sex->currentText();
    cols[u"state"_s] = ui->Combo_state->currentText();
    cols[u"Birthday"_s] = dayOrNull(ui->DE_Birthday);
    cols[u"mz"_s] = ui->Combo_mz->currentText();
    cols[u"Mobile"_s] = ui->Edit_Mobile->text();
    cols[u"address"_s] = ui->Edit_Address->text();
    cols[u"tel"_s] = ui->Edit_tel->text();
    cols[u"email"_s] = ui->Edit_Email->text();
    cols[u"StartCent"_s] = startCent;
    cols[u"Discount"_s] = discountText.trimmed().isEmpty() ? QVariant(QMetaType::fromType<double>()) : QVariant(discount);
    cols[u"UserName"_s] = p.recorder->currentText();
    cols[u"Zip"_s] = ui->Edit_Zip->text();
    cols[u"Pic"_s] = PicturePath;
    cols[u"Category"_s] = CategoryCode;
    cols[u"memo"_s] = p.memo->text();
    cols[u"Other1"_s] = ui->Edit_Other1->text();
    cols[u"Other2"_s] = ui->Edit_Other2->text();
    cols[u"Other3"_s] = ui->Edit_Other3->text();
    cols[u"Other4"_s] = dayOrNull(ui->DateEdit1);
    cols[u"Other5"_s] = ui->Combo_Other5->currentText();
    cols[u"Other6"_s] = ui->Combo_Other6->currentText();
    if (p.password)
        cols[u"Password"_s] = p.password->text();
    if (kind == members::KindUpgrade)
        cols[u"CardLevel"_s] = ui->edit_level->text();

    DataSet *cards = dm->Qry_Card;
    QString error;
    if (AddMode == 1) {
        cols[u"CardCode"_s] = ui->Edit_Code->text();
        cols[u"NewCard"_s] = kind;
        cols[u"Cent"_s] = startCent;
        if (kind != members::KindUpgrade)
            cols[u"CardLevel"_s] = QString();
        if (kind == members::KindCount)
            cols[u"Money"_s] = db.money(Money::fromUnits(uses * 10000));
        else if (members::kindHasBalance(kind))
            cols[u"Money"_s] = db.money(opening);
        members::NewMember m;
        m.columns = cols;
        m.openingAmount = opening;
        m.recorder = p.recorder->currentText();
        qint64 id = 0;
        if (!members::AddMember(db, m, &id, &error)) {
            Prompt::databaseError(this, error);
            return;
        }
        clearForm();
        if (cards->isOpen()) {
            cards->refresh();
            cards->locate(u"UserID"_s, id);
        }
    } else {
        const qint64 id = cards->value(u"UserID"_s).toLongLong();
        if (!members::UpdateMember(db, id, cols, &error)) {
            Prompt::databaseError(this, error);
            return;
        }
        cards->refresh();
    }
    accept();
}

void TFrm_AddCard::Edit_CategoryButtonClick()
{
    TFrm_Tree::open(this, u"Mem_Category"_s, u"会员分组"_s, 1,
                    [this](const QString &code, const QString &name) { setCategory(code, name); });
}

void TFrm_AddCard::Image1DblClick()
{
    const QString file = Prompt::openFileName(this, u"选择照片"_s, QString(),
                                              u"图片文件 (*.png *.jpg *.jpeg *.bmp);;所有文件 (*)"_s);
    if (!file.isEmpty())
        setPicture(file);
}

void TFrm_AddCard::ShowLevelGrid() { ui->DBGridEh1->setVisible(true); }

void TFrm_AddCard::DBGridEh1CellClick()
{
    if (m_levels->currentRow() < 0)
        return;
    ui->edit_level->setText(m_levels->text(u"CardType"_s));
    ui->Combo_CardLevel->setEditText(m_levels->text(m_levels->currentRow(), m_levels->fieldIndex(u"Discount"_s)));
    ui->DBGridEh1->setVisible(false);
}

void TFrm_AddCard::navigate(int how)
{
    DataSet *cards = Frm_Data()->Qry_Card;
    if (!cards->isOpen())
        return;
    switch (how) {
    case 0: cards->first(); break;
    case 1: cards->prior(); break;
    case 2: cards->next(); break;
    default: cards->last(); break;
    }
    LoadCurrentMember();
}

bool TFrm_AddCard::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->Image1 && event->type() == QEvent::MouseButtonDblClick) {
        Image1DblClick();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !qobject_cast<QAbstractButton *>(watched)) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
