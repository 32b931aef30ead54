#include "common/palm/PmKindInfo.h"

#include "common/misc/CommAddrMgr.h"
#include "common/misc/CommDateMgr.h"
#include "common/misc/CommNoteMgr.h"
#include "common/misc/CommTaskMgr.h"

namespace lazrine::palm {

const std::array<PmKindInfo, kPmKindCount>& PmKindInfo::All() {
    using A = misc::CommAddrMgr::Key;
    using D = misc::CommDateMgr;
    using T = misc::CommTaskMgr;
    static const std::array<PmKindInfo, kPmKindCount> table{{
        {PmKind::kContacts,
         "contacts",
         "address book",
         "Contact ( Address Book )",
         "Contacts",
         "Addr",
         {{A::kFirstName, "First Name", 100},
          {A::kLastName, "Last Name", 100},
          {A::kEmail, "Email Address", 160},
          {A::kWorkPhone, "Work Phone", 100},
          {A::kMobilePhone, "Mobile Phone", 100},
          {A::kHomePhone, "Home Phone", 100},
          {A::kCompany, "Company", 100},
          {A::kTitle, "Title", 100}},
         "address\\",
         "Address.mdb",
         "address.dat"},
        {PmKind::kCalendar,
         "calendar",
         "date book",
         "Calendar ( Date Book )",
         "Calendar",
         "Date",
         {{D::kDescription, "Description", 240},
          {D::kDate, "Date", 80},
          {D::kStartTime, "Start Time", 100},
          {D::kEndTime, "End Time", 100}},
         "datebook\\",
         "DateBook.mdb",
         "datebook.dat"},
        {PmKind::kTasks,
         "tasks",
         "todo list",
         "Task ( Todo List )",
         "Tasks",
         "Todo",
         {{T::kSubject, "Description", 240},
          {T::kDueDate, "Due Date", 120},
          {T::kCompleted, "Completed", 70},
          {T::kPriority, "Priority", 70}},
         "todo\\",
         "Todolist.mdb",
         "todo.dat"},
        {PmKind::kMemos,
         "memos",
         "memopad",
         "Note ( Memo Pad )",
         "Memos",
         "Memo",
         {{misc::CommNoteMgr::kNote, "Memo", 700}},
         "MemoPad\\",
         "MemoPad.mdb",
         "memopad.dat"},
    }};
    return table;
}

const PmKindInfo& PmKindInfo::Of(PmKind kind) { return All().at(static_cast<std::size_t>(kind)); }

const PmKindInfo* PmKindInfo::Find(std::string_view name) {
    for (const PmKindInfo& info : All()) {
        if (name == info.szName) {
            return &info;
        }
    }
    return nullptr;
}

std::string PmKindInfo::SuccessMessage(int count) const {
    return std::string("Palm ") + szPalmName + " undelete successfully, " + std::to_string(count) +
           " records were undeleted.";
}

std::string PmKindInfo::NothingSelectedMessage() const {
    return std::string("No Palm ") + szPalmName + " records are selected, undelete action canceled.";
}

}  // namespace lazrine::palm
