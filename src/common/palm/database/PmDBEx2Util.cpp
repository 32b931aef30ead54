#include "common/palm/database/PmDBEx2Util.h"

#include <algorithm>
#include <array>

#include "common/palm/database/PmSqlBuilder.h"
#include "common/palm/database/PmValueHelpers.h"
#include "platform/FileIo.h"

namespace lazrine::palm {

bool PmDBEx2Util::OpenDatabase(PmKind kind, const std::string& path) {
    ClearDbError();
    m_nMainRowsHint = 0;
    if (path.empty() || !platform::FileIo::Instance().Exists(path)) {
        m_szDbError = "no database file '" + path + "'";
        m_nDbFailure = platform::IoFailure::kMissing;
        return false;
    }
    if (m_pAccessor) {
        m_pAccessor->Connect(kind, path);
    } else {
        m_pAccessor = std::make_unique<PmMDBAccessor>(PmDataModule::Main(), kind, path);
    }
    if (!m_pAccessor->IsConnected()) {
        m_szDbError = m_pAccessor->LastError();
        m_nDbFailure = m_pAccessor->LastFailure();
        return false;
    }
    std::vector<std::string> columns;
    std::string why;
    PmJetEngine* connection = m_pAccessor->GetConnection();
    if (connection == nullptr || !connection->ColumnNames("Main", columns, why, &m_nMainRowsHint) || !MainFitsKind(kind, columns, why)) {
        m_szDbError = "not a Palm Desktop database of this kind: " + why;
        return false;
    }
    return true;
}

bool PmDBEx2Util::MainFitsKind(PmKind kind, const std::vector<std::string>& columns, std::string& why) {
    struct KindColumns {
        PmKind kind;
        std::array<const char*, 2> names;
    };
    static constexpr KindColumns kOwn[] = {
        {PmKind::kTasks, {"Description", "Due Date"}},
        {PmKind::kCalendar, {"Start Time", "End Time"}},
        {PmKind::kContacts, {"First Name", "Last Name"}},
    };
    // Column names compare as the engine compares them, ignoring ASCII case.
    const auto same = [](const std::string& a, std::string_view b) {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
                   return lower(x) == lower(y);
               });
    };
    const auto has = [&columns, &same](const char* name) {
        return std::any_of(columns.begin(), columns.end(), [&](const std::string& c) { return same(c, name); });
    };
    for (const KindColumns& own : kOwn) {
        for (const char* name : own.names) {
            if (own.kind == kind && !has(name)) {
                why = std::string("its table Main has no column [") + name + "]";
                return false;
            }
            if (own.kind != kind && has(name)) {
                why = std::string("its table Main has the column [") + name + "] of another kind of data";
                return false;
            }
        }
    }
    return true;
}

bool PmDBEx2Util::LoadMainRows(std::span<const std::string> names, const std::function<void(PmValues&)>& add) {
    ClearDbError();
    if (!m_pAccessor) {
        m_szDbError = "no database is open";
        return false;
    }
    if (!m_pAccessor->SelectTable("Main", names, [&add](PmValues& values) {
            add(values);
            return true;
        })) {
        m_szDbError = m_pAccessor->LastError();
        m_nDbFailure = m_pAccessor->LastFailure();
        return false;
    }
    return true;
}

bool PmDBEx2Util::LoadCategories() {
    m_CatMgr.Clear();
    if (!m_pAccessor) {
        return false;
    }
    static const std::vector<std::string> kNames{"ID", "Name", "Status", "Color"};
    // Names are a convenience: a table that cannot be read to its end gives
    // none, and the database still loads.
    const bool read = m_pAccessor->SelectTable("Category", kNames, [this](PmValues& values) {
        PmCategoryEx2 category;
        if (values.size() == kNames.size()) {
            PmGetInt(&values[0], category.m_nId);
            PmTakeText(&values[1], category.m_szName);
            PmGetInt(&values[2], category.m_nStatus);
            PmGetInt(&values[3], category.m_nColor);
        }
        m_CatMgr.Add(std::move(category));
        return true;
    });
    if (!read) {
        m_CatMgr.Clear();
    }
    return true;
}

bool PmDBEx2Util::LoadInfo() {
    m_Info = PmInfoEx2{};
    if (!m_pAccessor) {
        return false;
    }
    static const std::vector<std::string> kNames{"Name", "Note"};
    const bool read = m_pAccessor->SelectTable("Information", kNames, [this](PmValues& values) {
        std::string name;
        std::string note;
        if (values.size() != 2 || !PmGetText(&values[0], name) || !PmGetText(&values[1], note)) {
            return true;
        }
        std::int32_t n = 0;
        PmGetInt(&values[1], n);
        if (name == "License") {
            m_Info.m_nLicense = n;
        } else if (name == "Version") {
            m_Info.m_nVersion = n;
        } else if (name == "Minor") {
            m_Info.m_nMinor = n;
        } else if (name == "CodePage") {
            m_Info.m_nCodePage = n;
        } else if (name == "PreSahara") {
            m_Info.m_nPreSahara = n;
        } else if (name == "FreeRecID") {
            m_Info.m_nFreeRecID = n;
        } else if (name == "TableString") {
            m_Info.m_szTableString = std::move(note);
        }
        return true;
    });
    if (!read) {
        m_Info = PmInfoEx2{};
    }
    return true;
}

std::string_view PmDBEx2Util::CategoryName(std::int32_t id) const {
    const PmCategoryEx2* category = m_CatMgr.FindById(id);
    return category != nullptr ? std::string_view(category->m_szName) : std::string_view();
}

bool PmDBEx2Util::SelectMainByRecordId(std::int32_t id, std::span<const std::string> names, PmValues& values) {
    static const std::vector<std::string> kKey{"Record ID"};
    PmValues key(1);
    PmSetInt(id, &key[0]);
    return SelectMainWhere(PmBuildWhere(kKey, key), names, values);
}

bool PmDBEx2Util::SelectMainWhere(std::string_view where, std::span<const std::string> names, PmValues& values) {
    ClearDbError();
    if (!m_pAccessor) {
        m_szDbError = "no database is open";
        return false;
    }
    const std::string sql = m_pAccessor->MakeMainSql(where, PM_SQL_SELECT, names, {});
    if (m_pAccessor->QueryFirstRow(sql, values)) {
        return true;
    }
    m_szDbError = m_pAccessor->LastError();
    return false;
}

std::string PmDBEx2Util::StatusKeyText(const PmVariant& value) {
    switch (value.vt) {
        case VT_BSTR:
            return value.bstrVal;
        case VT_I4:
            return std::to_string(value.lVal);
        case VT_BOOL:
            return value.boolVal != 0 ? "1" : "0";
        default:
            return {};
    }
}

bool PmDBEx2Util::WriteMainStatuses(std::span<const std::string> keyNames, std::span<const StatusChange> changes) {
    ClearDbError();
    if (changes.empty()) {
        return true;
    }
    if (!m_pAccessor) {
        m_szDbError = "no database is open";
        return false;
    }
    // The shared connection may have been taken to another file: take it
    // back first, so that the whole batch runs on this store's file.
    if (!m_pAccessor->IsConnected()) {
        m_pAccessor->Connect(m_pAccessor->Kind(), m_pAccessor->Path());
    }
    PmJetEngine* engine = m_pAccessor->GetConnection();
    if (engine == nullptr || !m_pAccessor->IsConnected()) {
        m_szDbError = "the database '" + m_pAccessor->Path() + "' is not open: " + m_pAccessor->LastError();
        m_nDbFailure = m_pAccessor->LastFailure();
        return false;
    }
    engine->BeginBatch();
    for (const StatusChange& change : changes) {
        if (!QueueMainStatus(keyNames, change) || !engine->InBatch()) {
            if (m_szDbError.empty()) {
                m_szDbError = "the database connection was lost during the write; nothing was written";
            }
            engine->AbortBatch();
            return false;
        }
    }
    platform::IoError error;
    if (!engine->CommitBatch(error)) {
        m_szDbError = error.szText;
        m_nDbFailure = error.nCode;
        return false;
    }
    return true;
}

bool PmDBEx2Util::QueueMainStatus(std::span<const std::string> keyNames, const StatusChange& change) {
    const std::string what = "record " + std::to_string(change.nRecordId);
    if (keyNames.size() != change.keyTexts.size()) {
        m_szDbError = "the key of " + what + " cannot be formed";
        return false;
    }
    static const std::vector<std::string> kId{"Record ID"};
    PmValues id(1);
    PmSetInt(static_cast<std::int32_t>(change.nRecordId), &id[0]);
    std::vector<std::string> names{"Record ID", "Status"};
    names.insert(names.end(), keyNames.begin(), keyNames.end());
    PmValues row;
    if (!m_pAccessor->QueryFirstRow(m_pAccessor->MakeMainSql(PmBuildWhere(kId, id), PM_SQL_SELECT, names, {}), row)) {
        m_szDbError = m_pAccessor->LastError().empty() ? what + " is no longer in the database; nothing was written"
                                                       : m_pAccessor->LastError();
        m_nDbFailure = m_pAccessor->LastError().empty() ? platform::IoFailure::kChangedSinceLoaded
                                                        : m_pAccessor->LastFailure();
        return false;
    }
    PmDbQuery* query = m_pAccessor->GetQuery();
    query->Next();
    if (!query->Eof()) {
        m_szDbError = "more than one row holds " + what + "; nothing was written";
        return false;
    }
    if (row.size() != names.size() || row[1].vt != VT_I4) {
        m_szDbError = "the status of " + what + " cannot be read back; nothing was written";
        return false;
    }
    for (std::size_t i = 0; i < keyNames.size(); ++i) {
        if (StatusKeyText(row[2 + i]) != change.keyTexts[i]) {
            m_szDbError = what + " was changed in the database since it was loaded (its [" + keyNames[i] +
                          "] differs); nothing was written";
            m_nDbFailure = platform::IoFailure::kChangedSinceLoaded;
            return false;
        }
    }
    const auto current = static_cast<std::uint32_t>(row[1].lVal);
    if (current == change.nStatus) {
        return true;
    }
    if (current != change.nLoadedStatus) {
        m_szDbError = "the status of " + what + " was changed in the database since it was loaded; nothing was written";
        m_nDbFailure = platform::IoFailure::kChangedSinceLoaded;
        return false;
    }
    // The WHERE repeats the checks, so the engine changes no other row.
    std::vector<std::string> whereNames{"Record ID", "Status"};
    PmValues whereValues(2);
    PmSetInt(static_cast<std::int32_t>(change.nRecordId), &whereValues[0]);
    PmSetInt(static_cast<std::int32_t>(change.nLoadedStatus), &whereValues[1]);
    for (std::size_t i = 0; i < keyNames.size(); ++i) {
        whereNames.push_back(keyNames[i]);
        whereValues.push_back(row[2 + i]);
        if (whereValues.back().vt != VT_BSTR && whereValues.back().vt != VT_I4 && whereValues.back().vt != VT_BOOL) {
            // A NULL text is found by the empty text.
            PmSetText("", &whereValues.back());
        }
    }
    static const std::vector<std::string> kStatus{"Status"};
    PmValues value(1);
    PmSetInt(static_cast<std::int32_t>(change.nStatus), &value[0]);
    const std::string sql = m_pAccessor->MakeMainSql(PmBuildWhere(whereNames, whereValues), PM_SQL_UPDATE, kStatus, value);
    if (!m_pAccessor->ExecuteSql(sql, false)) {
        m_szDbError = m_pAccessor->LastError();
        return false;
    }
    if (m_pAccessor->GetQuery()->ChangedRows() != 1) {
        m_szDbError = "no row of Main matches " + what + " any more; nothing was written";
        m_nDbFailure = platform::IoFailure::kChangedSinceLoaded;
        return false;
    }
    return true;
}

}  // namespace lazrine::palm
