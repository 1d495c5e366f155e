#pragma once

#include "reference/list_window.h"

class TDataModule6;
class TForm2;

// The worker list "Список рабочих": maintains the workers from the menu "Рабочие" (Tag 0) and
// chooses a worker for the production record dialog (Tag 1) or the household-work entry dialog
// (Tag 24).
class TForm5 : public PickerListWindow<WorkerChoice> {
    Q_OBJECT
public:
    explicit TForm5(TDataModule6 *module, QWidget *parent = nullptr);

    TForm2 *Form2;   // the worker dialog

    void Button1Click() override;   // "Добавить"
    void Button2Click() override;   // "Изменить" / "Выбрать"
    void Button3Click() override;   // "Удалить"

private:
    TDataModule6 *m_module;
};
