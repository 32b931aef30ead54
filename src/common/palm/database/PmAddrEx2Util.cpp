#include "common/palm/database/PmAddrEx2Util.h"

#include "common/palm/database/PmValueHelpers.h"
#include "common/palm/desktop/PmUserDataPath.h"

namespace lazrine::palm {
namespace {

using Rec = PmAddrEx2Rec;

// The text columns a contact's row must still hold before its status is written.
const std::vector<std::string>& KeyTextNames() {
    static const std::vector<std::string> names{"First Name", "Last Name"};
    return names;
}

}  // namespace

const std::vector<std::string>& PmAddrEx2Util::ColumnNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const PmAddrColumn& column : Rec::Columns()) {
            list.emplace_back(column.szName);
        }
        return list;
    }();
    return names;
}

std::string PmAddrEx2Util::ColumnName(std::size_t index) {
    return index < kColumnCount ? ColumnNames()[index] : std::string();
}

bool PmAddrEx2Util::Load(const std::string& path) {
    m_bLoaded = false;
    m_DataMgr.Clear();
    if (path.empty()) {
        m_szDbError = "no file name given";
        return false;
    }
    if (!OpenDatabase(PM_DB_ADDRESS, path) || !LoadRows()) {
        m_DataMgr.Clear();
        return false;
    }
    // Category names are a convenience: a database without a readable
    // "Category" table still lists its contacts.
    LoadCategories();
    for (PmAddrEx2Rec& rec : m_DataMgr.Records()) {
        if (const PmCategoryEx2* category = GetCategoryMgr().FindById(rec.Number(Rec::kCategory))) {
            rec.szCategory = category->m_szName;
        }
    }
    m_bLoaded = true;
    return true;
}

bool PmAddrEx2Util::LoadForUser(std::uint32_t userId) {
    std::string path;
    if (!PmUserDataPath::DataFilePath(userId, "address\\", "Address.mdb", path, m_szDbError)) {
        m_bLoaded = false;
        m_DataMgr.Clear();
        return false;
    }
    return Load(path);
}

bool PmAddrEx2Util::LoadRows() {
    return LoadMainRows(ColumnNames(), [this](const PmValues& values) {
        PmAddrEx2Rec rec;
        RowToRecord(values, rec);
        rec.nLoadedStatus = rec.Status();
        m_DataMgr.Add(std::move(rec));
    });
}

bool PmAddrEx2Util::RowToRecord(const PmValues& values, PmAddrEx2Rec& rec) {
    if (values.size() != kColumnCount) {
        return false;
    }
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        ValueToField(values[i], i, rec);
    }
    return true;
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

bool PmAddrEx2Util::Save() {
    return WriteChangedStatuses(KeyTextNames(), m_DataMgr, [](const PmAddrEx2Rec& rec, StatusChange& change) {
        change = {rec.RecordId(), rec.nLoadedStatus, rec.Status(), {rec.Text(Rec::kFirstName), rec.Text(Rec::kLastName)}};
        return rec.Status() != rec.nLoadedStatus;
    });
}

}  // namespace lazrine::palm
