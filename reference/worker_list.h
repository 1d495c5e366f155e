#pragma once

#include "reference/list_window.h"
#include "reference/pick_receiver.h"

class TDataModule6;
class TForm2;

// The worker list "Список рабочих": maintains the workers from the menu "Рабочие" (Tag 0) and
// chooses a worker for the production record dialog (Tag 1) or the household-work entry dialog
// (Tag 24).
class TForm5 : public ListWindow {
    Q_OBJECT
public:
    explicit TForm5(TDataModule6 *module, QWidget *parent = nullptr);
    // The run's worker list, created on first use over the run's data module.
    static TForm5 *instance();

    TForm2 *Form2;   // the worker dialog

    // From the menu: opens Workers, shows the list modally, closes Workers.
    void ShowList();
    // As a picker for `receiver` (mode 1 or 24): the same with the picker look and an empty search.
    void ShowPicker(int mode, PickReceiver<WorkerChoice> *receiver);
    // The steps of both, for callers that show the window themselves.
    void PrepareList();
    void PreparePicker(int mode, PickReceiver<WorkerChoice> *receiver);
    void Finish();

    void Edit1Change() override;
    void Button1Click() override;   // "Добавить"
    void Button2Click() override;   // "Изменить" / "Выбрать"
    void Button3Click() override;   // "Удалить"

protected:
    bool Edit1KeyDown(QKeyEvent *event) override;

private:
    TDataModule6 *m_module;
    PickReceiver<WorkerChoice> *m_receiver = nullptr;
};
