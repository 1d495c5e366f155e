#include "journal/journal_statements.h"

QString journalStatement(int mode)
{
    if (mode == 1) {
        return QStringLiteral(
            "select smena.id, smena.data, smena.smena, smena.i_id, smena.o_id, smena.w_id, \n"
            "smena.cena,person.s_caption fio, izdel.marka, vid_oper.vid, (SELECT (CASE naimen WHEN 0 THEN 'Готовая продукция' ELSE 'Заготовки' END)) as nmn, oper.naimen,  smena.brak, smena.kol_vo::numeric,\n"
            "round((kol_vo-brak)*smena.cena::numeric, 2) as summa, smena.prize, color,time, smena.ok, vvod, smena.id_doc, smena.id_doc_item, smena.f_gds_qty_use, smena.id_gds_use, smena.id_cons_use\n"
            "from cmn_contractor.person person, accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper \n"
            "where smena.i_id=izdel.id and smena.o_id=oper.id and (w_id=person.id or s_code::t_id=w_id) and \n"
            "oper.vid=vid_oper.id and smena.smena=1 and smena.data=:data and ok!=:ok order by \n"
            "fio, izdel.marka, vid_oper.vid, oper.naimen, color");
    }
    // Shifts 2, 3 and overtime differ only in the shift number (and overtime in how it names
    // the worker column).
    const int shift = (mode >= 2 && mode <= 4) ? mode : 2;
    const QString fio = shift == 4 ? QStringLiteral("person.s_caption fio") : QStringLiteral("s_caption fio");
    return QStringLiteral("select smena.data, smena.smena, smena.i_id, smena.o_id, smena.w_id, \n"
                          "smena.cena, ")
        + fio
        + QStringLiteral(", izdel.marka, vid_oper.vid, (SELECT (CASE naimen WHEN 0 THEN 'Готовая продукция' ELSE 'Заготовки' END)) as nmn, oper.naimen, smena.kol_vo::numeric, smena.brak, \n"
                         "round((kol_vo-brak)*smena.cena::numeric, 2) as summa, smena.prize, smena.id, color,time,smena.ok,vvod, smena.id_doc, smena.id_doc_item, smena.f_gds_qty_use, smena.id_gds_use, smena.id_cons_use  \n"
                         "from cmn_contractor.person person,accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper \n"
                         "where smena.i_id=izdel.id and smena.o_id=oper.id and (w_id=person.id or s_code::t_id=w_id) and \n"
                         "oper.vid=vid_oper.id and smena.smena=")
        + QString::number(shift)
        + QStringLiteral(" and smena.data=:data and ok<>:ok order by fio");
}
