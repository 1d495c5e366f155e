#pragma once

#include "reference/list_window.h"
#include "reference/pick_receiver.h"

#include <QDate>

class TDataModule6;
class TForm7;

// The product list "Изделия (3)": maintains the products from the menu "Изделия" (Tag 0) and
// chooses a product for the price dialog (Tag 1). Deleting a product can take its prices and its
// production records with it.
class TForm3 : public ListWindow {
    Q_OBJECT
public:
    explicit TForm3(TDataModule6 *module, QWidget *parent = nullptr);
    static TForm3 *instance();

    TForm7 *Form7;   // the product dialog

    void ShowList();
    void ShowPicker(PickReceiver<ProductChoice> *receiver);
    void PrepareList();
    void PreparePicker(PickReceiver<ProductChoice> *receiver);
    void FinishList();
    void FinishPicker();

    void Edit1Change() override;
    void Button1Click() override;   // "Добавить"
    void Button2Click() override;   // "Изменить" / "Выбрать"
    void Button3Click() override;   // "Удалить"

    // Production records from this date on make the deletion ask about records: the first day of
    // the month before `today`'s month, in the year 2000.
    static QDate DeletionThreshold(const QDate &today);
    // The text of a massa value as the dialog shows it: trailing zeros of the fraction dropped.
    static QString MassaText(const QString &value);

protected:
    bool Edit1KeyDown(QKeyEvent *event) override;

private:
    TDataModule6 *m_module;
    PickReceiver<ProductChoice> *m_receiver = nullptr;
};
