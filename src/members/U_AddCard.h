#pragma once
#include <QDialog>
#include <memory>

class DataSet;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
namespace Ui { class TFrm_AddCard; }

// The member editor: registers a member with a new card (AddMode 1) or edits
// the member under the member list's cursor (AddMode 0). Each card kind has
// its own page of kind-specific boxes.
class TFrm_AddCard : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_AddCard(QWidget *parent = nullptr);
    ~TFrm_AddCard() override;

    int AddMode = 1;

    // Prepares the dialog for its mode; runs on show, tests call it directly.
    void FormShow();
    void Btn_OKClick();
    void Combo_CardChange();
    void Edit_CategoryButtonClick();
    void Image1DblClick();
    void LoadCurrentMember();
    void DBGridEh1CellClick(); // level picked
    void ShowLevelGrid();

    // The category the dialog holds for the member, and the picture path.
    QString CategoryCode;
    QString PicturePath;
    void setCategory(const QString &code, const QString &name);
    void setPicture(const QString &path);

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Page
    {
        QDateEdit *issue;
        QDateEdit *expiry;
        QLineEdit *cent;
        QLineEdit *startCent;
        QComboBox *recorder;
        QLineEdit *memo;
        QLineEdit *password; // null on the discount page
        QLineEdit *amount;   // null on the discount page
        QLabel *amountLabel;
    };
    Page page(int index) const;
    Page currentPage() const;
    void applyCaptions();
    void clearForm();
    QString captionOf(const QString &labelName) const;
    bool checkNumber(const QString &text, QLineEdit *box, const QString &what, bool allowEmpty, double *out);
    void refocus(QWidget *w);
    void navigate(int how);

    std::unique_ptr<Ui::TFrm_AddCard> ui;
    DataSet *m_levels = nullptr;
    bool m_shown = false;
};
