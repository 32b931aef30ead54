#include "common/palm/database/PmAddrEx2Util.h"

#include "common/palm/database/PmValueHelpers.h"

namespace lazrine::palm {
namespace {

using Rec = PmAddrEx2Rec;

}  // namespace

const PmDbTable& PmAddrEx2Util::Table() {
    static const PmDbTable table{
        PmKind::kContacts,
        [] {
            std::vector<std::string> names;
            for (const PmAddrColumn& column : Rec::Columns()) {
                names.emplace_back(column.szName);
            }
            return names;
        }(),
        {"First Name", "Last Name"},
    };
    return table;
}

void PmAddrEx2Util::ReadRow(PmValues& values, PmAddrEx2Rec& rec) {
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        if (Rec::Columns()[i].nKind == PM_COL_TEXT) {
            PmTakeText(&values[i], rec.Text(i));
        } else {
            ValueToField(values[i], i, rec);
        }
    }
}

bool PmAddrEx2Util::ValueToField(const PmVariant& value, std::size_t index, PmAddrEx2Rec& rec) {
    if (index >= kColumnCount) {
        return false;
    }
    switch (Rec::Columns()[index].nKind) {
        case PM_COL_INT:
        case PM_COL_INT_AS_TEXT:
            return PmGetInt(&value, rec.Number(index));
        case PM_COL_FLAG:
            // A flag is Yes/No in Palm's databases and a number in some others.
            if (value.vt == VT_I4) {
                rec.Flag(index) = value.lVal != 0 ? 1 : 0;
                return true;
            }
            return PmGetBool(&value, rec.Flag(index));
        case PM_COL_TEXT:
            return PmGetText(&value, rec.Text(index));
    }
    return false;
}

bool PmAddrEx2Util::FieldToValue(const PmAddrEx2Rec& rec, std::size_t index, PmVariant& value) {
    if (index >= kColumnCount) {
        return false;
    }
    switch (Rec::Columns()[index].nKind) {
        case PM_COL_INT:
            return PmSetInt(rec.Number(index), &value);
        case PM_COL_INT_AS_TEXT:
            return PmSetIntAsText(rec.Number(index), &value);
        case PM_COL_FLAG:
            return PmSetBool(rec.Flag(index), &value);
        case PM_COL_TEXT:
            return PmSetText(rec.Text(index), &value);
    }
    return false;
}

bool PmAddrEx2Util::SameRecord(const PmAddrEx2Rec& a, const PmAddrEx2Rec& b) {
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        const PmAddrColumn& column = Rec::Columns()[i];
        if (!column.bCompared) {
            continue;
        }
        switch (column.nKind) {
            case PM_COL_INT:
            case PM_COL_INT_AS_TEXT:
                if (a.Number(i) != b.Number(i)) {
                    return false;
                }
                break;
            case PM_COL_FLAG:
                if (a.Flag(i) != b.Flag(i)) {
                    return false;
                }
                break;
            case PM_COL_TEXT:
                if (a.Text(i) != b.Text(i)) {
                    return false;
                }
                break;
        }
    }
    return true;
}

}  // namespace lazrine::palm
