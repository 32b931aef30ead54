#include "common/palm/database/PmTodoEx2Util.h"

#include "common/palm/database/PmValueHelpers.h"
#include "common/palm/desktop/PmUserDataPath.h"

namespace lazrine::palm {
namespace {

enum TodoColumn : std::size_t {
    kRecordId = 0,
    kStatus = 1,
    kPlacement = 2,
    kPrivate = 3,
    kCategory = 4,
    kNote = 5,
    kDescription = 6,
    kDueDate = 7,
    kCompleted = 8,
    kPriority = 9,
    kRepeatOnCompleteDate = 10,
    kCompleteDate = 11,
    kAlarmSet = 12,
    kAlarmTime = 13,
    kAlarmAdvance = 14,
    kRepeatStartDate = 15,
    kRepeatInfo = 16,
};

}  // namespace

const std::vector<std::string>& PmTodoEx2Util::ColumnNames() {
    static const std::vector<std::string> names{
        "Record ID",  "Status",         "Placement",  "Private",   "Category",
        "Note",       "Description",    "Due Date",   "Completed", "Priority",
        "Repeat On Complete Date",      "Complete Date",           "Alarm Set",
        "Alarm Time", "Alarm Advance",  "Repeat Start Date",       "Repeat Info"};
    return names;
}

std::string PmTodoEx2Util::ColumnName(std::size_t index) {
    return index < kColumnCount ? ColumnNames()[index] : std::string();
}

bool PmTodoEx2Util::Load(const std::string& path) {
    m_bLoaded = false;
    m_DataMgr.Clear();
    if (path.empty()) {
        m_szDbError = "no file name given";
        return false;
    }
    if (!OpenDatabase(PM_DB_TODO, path) ||
        !LoadMainRows(ColumnNames(), [this](const PmValues& values) {
            PmTodoEx2Rec rec;
            RowToRecord(values, rec);
            m_DataMgr.Add(std::move(rec));
        })) {
        m_DataMgr.Clear();
        return false;
    }
    NameCategories(m_DataMgr.Records());
    m_bLoaded = true;
    return true;
}

bool PmTodoEx2Util::LoadForUser(std::uint32_t userId) {
    std::string path;
    if (!PmUserDataPath::DataFilePath(userId, "todo\\", "Todolist.mdb", path, m_szDbError)) {
        m_bLoaded = false;
        m_DataMgr.Clear();
        return false;
    }
    return Load(path);
}

bool PmTodoEx2Util::RowToRecord(const PmValues& values, PmTodoEx2Rec& rec) {
    if (values.size() != kColumnCount) {
        return false;
    }
    const auto signedOf = [&values](std::size_t i, std::int32_t& out) { PmGetInt(&values[i], out); };
    const auto unsignedOf = [&values](std::size_t i, std::uint32_t& out) { PmGetUInt(&values[i], out); };
    const auto flagOf = [&values](std::size_t i, std::uint8_t& out) { PmGetFlag(&values[i], out); };
    const auto textOf = [&values](std::size_t i, std::string& out) { PmGetText(&values[i], out); };
    unsignedOf(kRecordId, rec.nRecordId);
    unsignedOf(kStatus, rec.nStatus);
    signedOf(kPlacement, rec.nPlacement);
    flagOf(kPrivate, rec.nPrivate);
    signedOf(kCategory, rec.nCategoryId);
    textOf(kNote, rec.szNote);
    textOf(kDescription, rec.szDescription);
    unsignedOf(kDueDate, rec.nDueDate);
    rec.szDueDateText = StatusKeyText(values[kDueDate]);
    flagOf(kCompleted, rec.nCompleted);
    signedOf(kPriority, rec.nPriority);
    flagOf(kRepeatOnCompleteDate, rec.nRepeatOnCompleteDate);
    unsignedOf(kCompleteDate, rec.nCompleteDate);
    flagOf(kAlarmSet, rec.nAlarmSet);
    unsignedOf(kAlarmTime, rec.nAlarmTime);
    signedOf(kAlarmAdvance, rec.nAlarmAdvance);
    unsignedOf(kRepeatStartDate, rec.nRepeatStartDate);
    textOf(kRepeatInfo, rec.szRepeatInfo);
    rec.nLoadedStatus = rec.nStatus;
    return true;
}

bool PmTodoEx2Util::Save() {
    // The Record ID finds the row; the description and the due date as
    // loaded confirm it is still the same task.
    static const std::vector<std::string> kKeyNames{"Description", "Due Date"};
    return WriteChangedStatuses(kKeyNames, m_DataMgr, [](const PmTodoEx2Rec& rec, StatusChange& change) {
        change = {rec.nRecordId, rec.nLoadedStatus, rec.nStatus, {rec.szDescription, rec.szDueDateText}};
        return rec.nStatus != rec.nLoadedStatus;
    });
}

}  // namespace lazrine::palm
