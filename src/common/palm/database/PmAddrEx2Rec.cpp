#include "common/palm/database/PmAddrEx2Rec.h"

namespace lazrine::palm {
namespace {

constexpr PmAddrColumnKind I = PM_COL_INT;
constexpr PmAddrColumnKind S = PM_COL_INT_AS_TEXT;
constexpr PmAddrColumnKind F = PM_COL_FLAG;
constexpr PmAddrColumnKind T = PM_COL_TEXT;

constexpr std::array<PmAddrColumn, PmAddrEx2Rec::kColumnCount> kColumns{{
    {"Record ID", I, true},
    {"Status", I, true},
    {"Placement", I, false},
    {"Private", F, true},
    {"Category", S, true},
    {"Note", T, true},
    {"Prefix", T, true},
    {"First Name", T, true},
    {"Middle Name", T, true},
    {"Last Name", T, true},
    {"Suffix", T, true},
    {"NickName", T, true},
    {"Anniversary", I, true},
    {"Birthday", I, true},
    {"Profession", T, true},
    {"Company", T, true},
    {"Job Title", T, true},
    {"Assistant Name", T, false},
    {"Assistant Phone", T, false},
    {"Work Street", T, true},
    {"Work City", T, true},
    {"Work State", T, true},
    {"Work Zip", T, true},
    {"Work Country", T, true},
    {"Home Street", T, true},
    {"Home City", T, true},
    {"Home State", T, true},
    {"Home Zip", T, true},
    {"Home Country", T, true},
    {"Other Street", T, true},
    {"Other City", T, true},
    {"Other State", T, true},
    {"Other Zip", T, true},
    {"Other Country", T, true},
    {"Work Phone", T, true},
    {"Work Fax", T, true},
    {"Work Mobile", T, true},
    {"Home Phone", T, true},
    {"Home Fax", T, true},
    {"Home Mobile", T, true},
    {"Other Phone", T, true},
    {"Other Fax", T, false},
    {"Other Mobile", T, false},
    {"Work E-mail", T, false},
    {"E-mail 1", T, false},
    {"E-mail 2", T, false},
    {"E-mail 3", T, false},
    {"Pager", T, false},
    {"Custom 1", T, true},
    {"Custom 2", T, true},
    {"Custom 3", T, true},
    {"Custom 4", T, true},
    {"Primary Contact", I, true},
    {"Phone Label1", I, true},
    {"Phone Label2", I, true},
    {"Phone Label3", I, true},
    {"Phone Label4", I, true},
    {"Phone Label5", I, true},
    {"Phone Label6", I, true},
    {"Phone Label7", I, true},
    {"First Yomi", T, false},
    {"Last Yomi", T, false},
    {"Company Yomi", T, false},
    {"Chat1", T, true},
    {"Chat2", T, true},
    {"Chat1 LabelID", I, true},
    {"Chat2 LabelID", I, true},
    {"Website", T, true},
    {"Custom 5", T, true},
    {"Custom 6", T, true},
    {"Custom 7", T, true},
    {"Custom 8", T, true},
    {"Custom 9", T, true},
    {"Custom 10", T, true},
    {"Custom 11", T, true},
    {"Custom 12", T, true},
    {"Custom 13", T, true},
    {"Custom 14", T, true},
    {"Birthday AlarmSet", F, true},
    {"Birthday AlarmAdv", I, true},
    {"Avatar", I, false},
    {"Addr Label1", I, true},
    {"Addr Label2", I, true},
    {"Addr Label3", I, true},
    {"Anniversary AlarmSet", F, true},
    {"Anniversary AlarmAdv", I, true},
    {"English Name", T, true},
    {"Picture URL", T, true},
    {"Picture Filename", T, true},
    {"Picture MIME type", T, true},
    {"Picture Sync counter", T, true},
    {"Ringtone URL", T, true},
    {"Ringtone Filename", T, true},
    {"Ringtone MIME type", T, true},
    {"Ringtone Sync counter", T, true},
}};

enum Store { kNumbers, kFlags, kTexts };

constexpr Store StoreOf(PmAddrColumnKind kind) {
    return kind == PM_COL_TEXT ? kTexts : kind == PM_COL_FLAG ? kFlags : kNumbers;
}

struct Slots {
    std::array<std::size_t, PmAddrEx2Rec::kColumnCount> slot{};
    std::array<std::size_t, 3> count{};
};

constexpr Slots MakeSlots() {
    Slots s;
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        const Store store = StoreOf(kColumns[i].nKind);
        s.slot[i] = s.count[store]++;
    }
    return s;
}

constexpr Slots kSlots = MakeSlots();
static_assert(kSlots.count[kNumbers] == PmAddrEx2Rec::kNumberCount);
static_assert(kSlots.count[kFlags] == PmAddrEx2Rec::kFlagCount);
static_assert(kSlots.count[kTexts] == PmAddrEx2Rec::kTextCount);

}  // namespace

const std::array<PmAddrColumn, PmAddrEx2Rec::kColumnCount>& PmAddrEx2Rec::Columns() { return kColumns; }

std::size_t PmAddrEx2Rec::SlotOf(std::size_t index) { return kSlots.slot.at(index); }

}  // namespace lazrine::palm
