#pragma once

#include "reference/list_window.h"
#include "reference/pick_receiver.h"

class TDataModule6;
class TForm9;

// The operation kind list "Виды операций (8)": maintains the kinds from the menu "Операции"
// (Tag 0) and chooses a kind for the price dialog (Tag 1). The household-work and
// average-piecework kinds are listed and kept like any other.
class TForm8 : public ListWindow {
    Q_OBJECT
public:
    explicit TForm8(TDataModule6 *module, QWidget *parent = nullptr);
    static TForm8 *instance();

    TForm9 *Form9;   // the operation kind dialog

    void ShowList();
    void ShowPicker(PickReceiver<OperationKindChoice> *receiver);
    void PrepareList();
    void PreparePicker(PickReceiver<OperationKindChoice> *receiver);
    void FinishList();
    void FinishPicker();

    void Edit1Change() override;
    void Button1Click() override;   // "Добавить"
    void Button2Click() override;   // "Изменить" / "Выбрать"
    void Button3Click() override;   // "Удалить"

protected:
    bool Edit1KeyDown(QKeyEvent *event) override;

private:
    TDataModule6 *m_module;
    PickReceiver<OperationKindChoice> *m_receiver = nullptr;
};
