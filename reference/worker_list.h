#pragma once

#include "reference/list_window.h"

class DataModule;
class WorkerDialog;

// The worker list "Список рабочих": maintains the workers from the menu "Рабочие" (openMode 0) and
// chooses a worker for the production record dialog (openMode 1) or the household-work entry dialog
// (openMode 24).
class WorkerList : public PickerListWindow<WorkerChoice> {
    Q_OBJECT
public:
    explicit WorkerList(DataModule *module, QWidget *parent = nullptr);

    WorkerDialog *dialog;   // the worker dialog

    void add() override;            // "Добавить"
    void changeOrChoose() override; // "Изменить" / "Выбрать"
    void remove() override;         // "Удалить"

private:
    DataModule *m_module;
};
