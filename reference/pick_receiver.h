#pragma once

#include <QString>

// A window that opens a reference list as a picker implements PickReceiver<the list's choice> and
// passes itself to the list's showPicker. The list calls takePick once, when the user chooses a
// row; a list closed without a choice (Выход, Esc, the close box) calls nothing, so the caller's
// fields keep what they held.
//
// A window that receives several kinds of choice derives from several receivers, e.g. the price
// dialog from PickReceiver<ProductChoice> and PickReceiver<OperationKindChoice>, and overrides
// takePick once for each.
template <typename Choice>
class PickReceiver {
public:
    virtual ~PickReceiver() = default;
    virtual void takePick(const Choice &choice) = 0;
};

// The worker list (modes 1 and 24): the worker's id and name without surrounding blanks.
struct WorkerChoice {
    int id = 0;
    QString fio;
};

// The product list (mode 1): the product's id and mark without surrounding blanks.
struct ProductChoice {
    qint64 id = 0;
    QString marka;
};

// The operation kind list (mode 1): the kind's id and name without surrounding blanks.
struct OperationKindChoice {
    int id = 0;
    QString vid;
};

// The nomenclature picker: the classifier item's id and caption exactly as stored.
struct NomenclatureChoice {
    qint64 id = 0;
    QString caption;
};
