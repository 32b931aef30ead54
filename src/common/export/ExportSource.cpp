#include "common/export/ExportSource.h"

#include <xxhash.h>

#include <cstdio>
#include <tuple>

#include "common/palm/PmAddrInfo.h"
#include "common/palm/PmDateInfo.h"
#include "common/palm/PmMemoInfo.h"
#include "common/palm/PmTime.h"
#include "common/palm/PmTodoInfo.h"
#include "platform/TextCodec.h"

namespace lazrine::exporting {
namespace {

using palm::PM_STORE_CLASSIC;
using palm::PM_STORE_DATABASE;
using palm::PM_STORE_EXTENDED;
using palm::PM_STORE_HANDHELD;
using Handheld = palm::PmHandheldRecords;

// Minutes per unit of an alarm advance (the database's and the classic
// date book's): 0 minutes, 1 hours, 2 days; -1 for a unit neither names.
std::int64_t MinutesPerAlarmUnit(std::int32_t unit) {
    switch (unit) {
        case 0:
            return 1;
        case 1:
            return 60;
        case 2:
            return 24 * 60;
        default:
            return -1;
    }
}

void CopyAddress(std::uint32_t source, const misc::CommAddress& from, ExportAddress& to) {
    to.szStreet = ExportSource::Utf8Of(source, from.szStreet);
    to.szCity = ExportSource::Utf8Of(source, from.szCity);
    to.szState = ExportSource::Utf8Of(source, from.szState);
    to.szPostal = ExportSource::Utf8Of(source, from.szPostal);
    to.szCountry = ExportSource::Utf8Of(source, from.szCountry);
}

}  // namespace

std::string ExportSource::Utf8Of(std::uint32_t source, const std::string& text) {
    if (misc::CommRecord::HoldsUtf8(source)) {
        return text;
    }
    return platform::TextCodec::Cp1252ToUtf8(text);
}

bool ExportSource::Event(std::size_t i, ExportEvent& out) const {
    auto* set = dynamic_cast<palm::PmDateInfo*>(&m_set);
    if (set == nullptr || i >= set->CommonCount() || i >= set->EntryCount()) {
        return false;
    }
    const misc::CommDateRec& rec = set->GetCommMgr().At(i);
    const palm::PmRecordEntry& entry = set->EntryAt(i);
    out = ExportEvent{};
    out.nId = rec.nId;
    out.szUid = Uid(i);
    out.szSummary = Utf8Of(rec.nSource, rec.szDescription);
    out.szNote = Utf8Of(rec.nSource, rec.szNote);
    out.szLocation = Utf8Of(rec.nSource, rec.szLocation);
    out.bPrivate = rec.nPrivate != 0;
    out.bAllDay = rec.nAllDay != 0;
    out.bAlarm = rec.nAlarm != 0;
    out.szCategory = Utf8Of(rec.nSource, rec.szCategory);
    switch (entry.nKind) {
        case PM_STORE_DATABASE: {
            const auto& native = set->Database().GetDataMgr().At(entry.nNative);
            out.nStart = native.nStartTime;
            out.nEnd = native.nEndTime;
            const std::int64_t perUnit = MinutesPerAlarmUnit(native.nAlarmUnit);
            if (out.bAlarm && perUnit > 0 && native.nAlarmAdvance >= 0) {
                out.nAlarmMinutes = static_cast<std::int64_t>(native.nAlarmAdvance) * perUnit;
            }
            break;
        }
        case PM_STORE_EXTENDED: {
            const auto& native = set->Extended().GetDataMgr().At(entry.nNative);
            out.nStart = native.nStartTime;
            out.nEnd = native.nEndTime;
            out.Repeat = native.Repeat;
            break;
        }
        case PM_STORE_CLASSIC: {
            // Positions 11 to 13: alarm set, its advance and the advance's unit.
            const auto& native = set->Classic().GetDataMgr().At(entry.nNative);
            out.nStart = native.nStartTime;
            out.nEnd = native.nEndTime;
            out.Repeat = native.Repeat;
            const std::int64_t perUnit = MinutesPerAlarmUnit(static_cast<std::int32_t>(native.nExtraH));
            if (out.bAlarm && perUnit > 0 && native.nExtraG <= 0x7FFFFFFFu) {
                out.nAlarmMinutes = static_cast<std::int64_t>(native.nExtraG) * perUnit;
            }
            break;
        }
        case PM_STORE_HANDHELD: {
            // Local date and times; an untimed event spans its day's start.
            out.nStart = palm::PmTime::kNoTime;
            out.nEnd = palm::PmTime::kNoTime;
            const auto* event = set->Handheld().DataAt<Handheld::Event>(entry.nNative);
            if (event == nullptr) {
                break;
            }
            const bool timed = !event->IsUntimed();
            const auto at = [&](int hour, int minute) {
                const std::uint32_t seconds =
                    palm::PmHandheldStore::LocalSeconds(event->nDate, timed ? hour : 0, timed ? minute : 0);
                return seconds != 0 ? seconds : palm::PmTime::kNoTime;
            };
            out.nStart = at(event->nStartHour, event->nStartMinute);
            out.nEnd = at(event->nEndHour, event->nEndMinute);
            const std::int64_t perUnit = MinutesPerAlarmUnit(event->nAlarmUnit);
            if (out.bAlarm && perUnit > 0 && event->nAlarmAdvance >= 0) {
                out.nAlarmMinutes = static_cast<std::int64_t>(event->nAlarmAdvance) * perUnit;
            }
            break;
        }
        default:
            return false;
    }
    return true;
}

bool ExportSource::Task(std::size_t i, ExportTask& out) const {
    auto* set = dynamic_cast<palm::PmTodoInfo*>(&m_set);
    if (set == nullptr || i >= set->CommonCount() || i >= set->EntryCount()) {
        return false;
    }
    const misc::CommTaskRec& rec = set->GetCommMgr().At(i);
    const palm::PmRecordEntry& entry = set->EntryAt(i);
    out = ExportTask{};
    out.nId = rec.nId;
    out.szUid = Uid(i);
    out.szSummary = Utf8Of(rec.nSource, rec.szSubject);
    out.szNote = Utf8Of(rec.nSource, rec.szNote);
    out.bPrivate = rec.bPrivate != 0;
    out.bCompleted = rec.bCompleted != 0;
    out.nPriority = rec.nPriority;
    out.nDueDate = rec.nDueDate;
    out.bAlarm = rec.bAlarm != 0;
    out.szCategory = Utf8Of(rec.nSource, rec.szCategory);
    out.nPalmPriority = rec.nPalmPriority;
    switch (entry.nKind) {
        case PM_STORE_DATABASE: {
            const auto& native = set->Database().GetDataMgr().At(entry.nNative);
            out.nCompletedAt = out.bCompleted ? native.nCompleteDate : 0;
            return true;
        }
        case PM_STORE_EXTENDED: {
            const auto& native = set->Extended().GetDataMgr().At(entry.nNative);
            out.Repeat = native.Repeat;
            return true;
        }
        case PM_STORE_CLASSIC:
        case PM_STORE_HANDHELD:
            return true;
        default:
            return false;
    }
}

bool ExportSource::Contact(std::size_t i, ExportContact& out) const {
    auto* set = dynamic_cast<palm::PmAddrInfo*>(&m_set);
    if (set == nullptr || i >= set->CommonCount() || i >= set->EntryCount()) {
        return false;
    }
    const misc::CommAddrRec& rec = set->GetCommMgr().At(i);
    const palm::PmRecordEntry& entry = set->EntryAt(i);
    const std::uint32_t source = rec.nSource;
    const auto utf8 = [source](std::string_view text) { return Utf8Of(source, text); };
    out = ExportContact{};
    out.nId = rec.nId;
    out.szUid = Uid(i);
    const std::pair<std::string*, std::string_view> texts[] = {
        {&out.szPrefix, rec.szPrefix},         {&out.szFirstName, rec.szFirstName},
        {&out.szMiddleName, rec.szMiddleName}, {&out.szLastName, rec.szLastName},
        {&out.szSuffix, rec.szSuffix},         {&out.szNickName, rec.szNickName},
        {&out.szCompany, rec.szCompany},       {&out.szTitle, rec.szTitle},
        {&out.szProfession, rec.szProfession}, {&out.szAssistant, rec.szAssistant},
        {&out.szHomePage, rec.szHomePage},     {&out.szNote, rec.szNote},
        {&out.aChats[0], rec.aChats[0]},       {&out.aChats[1], rec.aChats[1]},
    };
    for (const auto& [to, from] : texts) {
        *to = utf8(from);
    }
    out.aChatLabels = rec.aChatLabels;
    out.szBirthday = misc::CommAddrRec::DateText(rec.nBirthday);
    out.szAnniversary = misc::CommAddrRec::DateText(rec.nAnniversary);
    out.bPrivate = rec.bPrivate;
    for (const misc::CommPhone& phone : rec.Phones) {
        if (!phone.szText.empty()) {
            out.Phones.push_back({phone.nLabel, misc::CommAddrRec::PhoneLabelName(phone.nLabel), utf8(phone.szText)});
        }
    }
    CopyAddress(source, rec.Work, out.Work);
    CopyAddress(source, rec.Home, out.Home);
    CopyAddress(source, rec.Other, out.Other);
    for (std::size_t k = 0; k < rec.aCustom.size(); ++k) {
        out.aCustom[k] = utf8(rec.aCustom[k]);
    }
    for (std::size_t k = 0; k < rec.aMoreCustom.size(); ++k) {
        out.aCustom[rec.aCustom.size() + k] = utf8(rec.aMoreCustom[k]);
    }
    for (std::size_t k = 0; k < out.aCustomLabels.size(); ++k) {
        out.aCustomLabels[k] = "Custom " + std::to_string(k + 1);
    }
    const auto useLabels = [&](const auto& labels) {
        for (std::size_t k = 0; k < labels.size() && k < out.aCustomLabels.size(); ++k) {
            if (!labels[k].empty()) {
                out.aCustomLabels[k] = utf8(labels[k]);
            }
        }
    };
    // Category id 0 is Palm's "Unfiled": no category at all.
    std::uint32_t categoryId = 0;
    switch (entry.nKind) {
        case PM_STORE_DATABASE: {
            const auto& native = set->Database().GetDataMgr().At(entry.nNative);
            categoryId = static_cast<std::uint32_t>(native.Number(palm::PmAddrEx2Rec::kCategory));
            // The database's phone and e-mail columns outside the seven slots.
            const std::tuple<std::int64_t, const char*, std::string_view, bool> more[] = {
                {3, "Assistant", rec.szAssistantPhone, false}, {2, "Other Fax", rec.szOtherFax, false},
                {7, "Other Mobile", rec.szOtherMobile, false},  {6, "Pager", native.Text(palm::PmAddrEx2Rec::kPager), false},
                {4, "Work E-mail", rec.szWorkEmail, true},      {4, "E-mail 1", rec.aEmails[0], false},
                {4, "E-mail 2", rec.aEmails[1], false},         {4, "E-mail 3", rec.aEmails[2], false},
            };
            for (const auto& [label, name, text, work] : more) {
                if (!text.empty()) {
                    out.Phones.push_back({label, name, utf8(text), work});
                }
            }
            break;
        }
        case PM_STORE_EXTENDED:
            categoryId = set->Extended().GetDataMgr().At(entry.nNative).nCategoryId;
            useLabels(set->Extended().GetCustomLabels().aLabels);
            break;
        case PM_STORE_CLASSIC:
            categoryId = set->Classic().GetDataMgr().At(entry.nNative).nCategoryId;
            useLabels(set->Classic().GetCustomLabels());
            break;
        case PM_STORE_HANDHELD: {
            categoryId = set->Handheld().At(entry.nNative).nCategory;
            useLabels(set->Handheld().CustomLabels());
            // A Japanese handheld's name fields hold the name, 0x01 and its
            // reading: the name is the name, the reading its own property.
            const std::pair<std::string*, std::string*> named[] = {{&out.szFirstName, &out.szFirstNameReading},
                                                                    {&out.szLastName, &out.szLastNameReading},
                                                                    {&out.szCompany, &out.szCompanyReading}};
            for (const auto& [name, reading] : named) {
                const std::size_t cut = name->find('\x01');
                if (cut != std::string::npos) {
                    *reading = name->substr(cut + 1);
                    name->resize(cut);
                }
            }
            break;
        }
        default:
            return false;
    }
    if (categoryId != 0) {
        out.szCategory = utf8(rec.szCategory);
    }
    return true;
}

bool ExportSource::Memo(std::size_t i, ExportMemo& out) const {
    auto* set = dynamic_cast<palm::PmMemoInfo*>(&m_set);
    if (set == nullptr || i >= set->CommonCount() || i >= set->EntryCount()) {
        return false;
    }
    const misc::CommNoteRec& rec = set->GetCommMgr().At(i);
    const palm::PmRecordEntry& entry = set->EntryAt(i);
    out = ExportMemo{};
    out.nId = rec.nId;
    out.szUid = Uid(i);
    out.szText = Utf8Of(rec.nSource, rec.szNote);
    out.bPrivate = rec.nPrivate != 0;
    out.szCategory = Utf8Of(rec.nSource, rec.szCategory);
    return entry.nKind == PM_STORE_DATABASE || entry.nKind == PM_STORE_EXTENDED || entry.nKind == PM_STORE_CLASSIC ||
           entry.nKind == PM_STORE_HANDHELD;
}

std::string ExportSource::Uid(std::size_t i) const {
    if (i >= m_set.CommonCount()) {
        return {};
    }
    static constexpr const char* kTags[][2] = {
        {"contacts", "contact"}, {"calendar", "event"}, {"tasks", "todo"}, {"memos", "memo"}};
    const std::string kind = m_set.Kind().szName;
    std::string tag = kind;
    for (const auto& [name, short_] : kTags) {
        if (kind == name) {
            tag = short_;
        }
    }
    const std::string named = kind + '\n' + m_set.SourceName();
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(XXH3_64bits(named.data(), named.size()) & 0xFFFFFFFFu));
    return "lazrine-" + tag + "-" + std::to_string(m_set.CommonAt(i).nId) + "-" + hex;
}

}  // namespace lazrine::exporting
