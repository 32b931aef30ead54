#include "common/palm/database/PmMemoEx2Util.h"

#include "common/palm/database/PmValueHelpers.h"

namespace lazrine::palm {
namespace {

enum MemoColumn : std::size_t { kRecordId = 0, kStatus = 1, kPlacement = 2, kPrivate = 3, kCategory = 4, kNote = 5 };

}  // namespace

const PmDbTable& PmMemoEx2Util::Table() {
    static const PmDbTable table{
        PmKind::kMemos,
        {"Record ID", "Status", "Placement", "Private", "Category", "Note"},
        {"Note"},
    };
    return table;
}

void PmMemoEx2Util::ReadRow(PmValues& values, PmMemoEx2Rec& rec) {
    auto intOf = [](const PmVariant& v) {
        std::int32_t n = 0;
        return PmGetInt(&v, n) ? n : 0;
    };
    rec.nRecordId = static_cast<std::uint32_t>(intOf(values[kRecordId]));
    rec.nStatus = static_cast<std::uint32_t>(intOf(values[kStatus]));
    rec.nPlacement = intOf(values[kPlacement]);
    // Private is a flag in some databases and a number in others.
    const PmVariant& priv = values[kPrivate];
    rec.nPrivate = ((priv.vt == VT_I4 && (priv.lVal & 0xFFFF) != 0) || (priv.vt == VT_BOOL && priv.boolVal != 0)) ? 1 : 0;
    PmGetInt(&values[kCategory], rec.nCategoryId);
    PmTakeText(&values[kNote], rec.szNote);
    rec.nLoadedStatus = rec.nStatus;
}

bool PmMemoEx2Util::ValueToField(const PmVariant& value, std::size_t index, PmMemoEx2Rec& rec) {
    std::int32_t n = 0;
    switch (index) {
        case kRecordId:
        case kStatus:
        case kPlacement:
        case kCategory:
            if (!PmGetInt(&value, n)) {
                return false;
            }
            if (index == kRecordId) {
                rec.nRecordId = static_cast<std::uint32_t>(n);
            } else if (index == kStatus) {
                rec.nStatus = static_cast<std::uint32_t>(n);
            } else if (index == kPlacement) {
                rec.nPlacement = n;
            } else {
                rec.nCategoryId = n;
            }
            return true;
        case kPrivate:
            return PmGetBool(&value, rec.nPrivate);
        case kNote:
            return PmGetText(&value, rec.szNote);
        default:
            return false;
    }
}

bool PmMemoEx2Util::FieldToValue(const PmMemoEx2Rec& rec, std::size_t index, PmVariant& value) {
    switch (index) {
        case kRecordId:
            return PmSetInt(static_cast<std::int32_t>(rec.nRecordId), &value);
        case kStatus:
            return PmSetInt(static_cast<std::int32_t>(rec.nStatus), &value);
        case kPlacement:
            return PmSetInt(rec.nPlacement, &value);
        case kPrivate:
            return PmSetBool(rec.nPrivate, &value);
        case kCategory:
            return PmSetIntAsText(rec.nCategoryId, &value);
        case kNote:
            // An empty note is an empty text, not a null one.
            if (!PmSetText(rec.szNote, &value)) {
                return false;
            }
            value.bBstrNull = false;
            return true;
        default:
            return false;
    }
}

bool PmMemoEx2Util::SameRecord(const PmMemoEx2Rec& a, const PmMemoEx2Rec& b) {
    return a.nRecordId == b.nRecordId && a.nStatus == b.nStatus && a.nCategoryId == b.nCategoryId &&
           a.nPrivate == b.nPrivate && a.szNote == b.szNote;
}

std::vector<std::size_t> PmMemoEx2Util::ListChanges(const PmMemoEx2Rec& rec, const PmMemoEx2Rec& found) {
    std::vector<std::size_t> list;
    if (rec.nRecordId != found.nRecordId) {
        list.push_back(kRecordId);
    }
    if (rec.nStatus != found.nStatus) {
        list.push_back(kStatus);
    }
    if (rec.nPlacement != found.nPlacement) {
        list.push_back(kPlacement);
    }
    if (rec.nPrivate != found.nPrivate) {
        list.push_back(kPrivate);
    }
    if (rec.nCategoryId != found.nCategoryId) {
        list.push_back(kCategory);
    }
    if (rec.szNote != found.szNote) {
        list.push_back(kNote);
    }
    return list;
}

}  // namespace lazrine::palm
