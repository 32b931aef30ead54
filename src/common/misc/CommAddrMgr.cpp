#include "common/misc/CommAddrMgr.h"

#include <cstdio>

#include "common/misc/CxDateTime.h"

namespace lazrine::misc {
namespace {

const std::string_view* AddressPart(const CommAddress& address, std::uint32_t part) {
    switch (part) {
        case 0:
            return &address.szStreet;
        case 1:
            return &address.szCity;
        case 2:
            return &address.szState;
        case 3:
            return &address.szPostal;
        default:
            return &address.szCountry;
    }
}

// The member behind a text key, or none.
const std::string_view* TextOf(const CommAddrRec& rec, std::uint32_t key) {
    using K = CommAddrMgr::Key;
    if (key >= K::kPhone1 && key < K::kPhone1 + CommAddrMgr::kPhoneFields) {
        const std::size_t slot = key - K::kPhone1;
        static constexpr std::string_view kNone;
        return slot < rec.Phones.size() ? &rec.Phones[slot].szText : &kNone;
    }
    if (key >= K::kEmail1 && key < K::kEmail1 + rec.aEmails.size()) {
        return &rec.aEmails[key - K::kEmail1];
    }
    if (key >= K::kCustom10 && key < K::kCustom10 + CommAddrRec::kMoreCustomCount) {
        return &rec.aMoreCustom[key - K::kCustom10];
    }
    if (key >= K::kWorkStreet && key < K::kHomeStreet) {
        return AddressPart(rec.Work, key - K::kWorkStreet);
    }
    if (key >= K::kHomeStreet && key < K::kOtherStreet) {
        return AddressPart(rec.Home, key - K::kHomeStreet);
    }
    if (key >= K::kOtherStreet && key < K::kHomePhone) {
        return AddressPart(rec.Other, key - K::kOtherStreet);
    }
    if (key >= K::kCustom1 && key < K::kCustom1 + CommAddrRec::kCustomCount) {
        return &rec.aCustom[key - K::kCustom1];
    }
    switch (key) {
        case K::kFirstName:
            return &rec.szFirstName;
        case K::kLastName:
            return &rec.szLastName;
        case K::kHomePhone:
            return &rec.szHomePhone;
        case K::kWorkPhone:
            return &rec.szWorkPhone;
        case K::kMobilePhone:
            return &rec.szMobilePhone;
        case K::kOtherPhone:
            return &rec.szOtherPhone;
        case K::kMainPhone:
            return &rec.szMainPhone;
        case K::kFax:
            return &rec.szFax;
        case K::kPager:
            return &rec.szPager;
        case K::kEmail:
            return &rec.szEmail;
        case K::kHomePage:
            return &rec.szHomePage;
        case K::kNote:
            return &rec.szNote;
        case K::kCompany:
            return &rec.szCompany;
        case K::kTitle:
            return &rec.szTitle;
        case K::kCategory:
            return &rec.szCategory;
        case K::kPrefix:
            return &rec.szPrefix;
        case K::kMiddleName:
            return &rec.szMiddleName;
        case K::kSuffix:
            return &rec.szSuffix;
        case K::kNickName:
            return &rec.szNickName;
        case K::kProfession:
            return &rec.szProfession;
        case K::kAssistant:
            return &rec.szAssistant;
        case K::kAssistantPhone:
            return &rec.szAssistantPhone;
        case K::kOtherFax:
            return &rec.szOtherFax;
        case K::kOtherMobile:
            return &rec.szOtherMobile;
        case K::kWorkEmail:
            return &rec.szWorkEmail;
        case K::kChat1:
            return &rec.aChats[0];
        case K::kChat2:
            return &rec.aChats[1];
        default:
            return nullptr;
    }
}

}  // namespace

std::string CommAddrRec::PhoneLabelName(std::int64_t label) {
    static constexpr const char* kNames[] = {"Work", "Home", "Fax", "Other", "E-mail", "Main", "Pager", "Mobile"};
    if (label >= 0 && label < 8) {
        return kNames[label];
    }
    return std::to_string(label);
}

std::string CommAddrRec::ChatLabelName(std::int64_t label) {
    static constexpr const char* kNames[] = {"IM", "AIM", "MSN", "Yahoo", "AOL ICQ"};
    if (label == -1) {
        return {};
    }
    if (label >= 0 && label < 5) {
        return kNames[label];
    }
    return std::to_string(label);
}

std::string CommAddrRec::DateText(std::int64_t seconds) {
    if (seconds == 0) {
        return {};
    }
    const std::int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    int year = 0;
    int month = 0;
    int day = 0;
    CxDateTime::CivilFromDays(days, year, month, day);
    if (year < 1 || year > 9999) {
        return {};
    }
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}

void CommAddrRec::FilePhone(std::int64_t label, std::string_view text) {
    Phones.push_back({label, text});
    if (text.empty()) {
        return;
    }
    switch (label) {
        case 0:
            szWorkPhone = text;
            break;
        case 1:
            szHomePhone = text;
            break;
        case 2:
            szFax = text;
            break;
        case 3:
            szOtherPhone = text;
            break;
        case 4:
            szEmail = text;
            break;
        case 5:
            szMainPhone = text;
            break;
        case 6:
            szPager = text;
            break;
        case 7:
            szMobilePhone = text;
            break;
        default:
            break;  // unknown labels are not filed
    }
}

std::span<const CommFieldInfo> CommAddrMgr::FieldTable() const {
    // The names up to "Account" are those Palm's own contact model lists, in
    // its order; the rest follow them, so that readers of the earlier
    // columns find them where they were.
    static const std::array<CommFieldInfo, 83> table{{
        {kFirstName, "First Name", 32},
        {kLastName, "Last Name", 32},
        {kCompany, "Company", 64},
        {kTitle, "Title", 32},
        {3, "(Work) Street", 64},
        {4, "(Work) City", 32},
        {5, "(Work) State", 32},
        {6, "(Work) Postal", 16},
        {7, "(Work) Country", 32},
        {8, "(Home) Street", 64},
        {9, "(Home) City", 32},
        {10, "(Home) State", 32},
        {11, "(Home) Postal", 16},
        {12, "(Home) Country", 32},
        {13, "(Other) Street", 64},
        {14, "(Other) City", 32},
        {15, "(Other) State", 32},
        {16, "(Other) Postal", 16},
        {17, "(Other) Country", 32},
        {kHomePhone, "Home Phone", 24},
        {kWorkPhone, "Work Phone", 24},
        {kMobilePhone, "Mobile Phone", 24},
        {kOtherPhone, "Other Phone", 24},
        {kMainPhone, "Main Phone", 24},
        {kFax, "Fax", 24},
        {kPager, "Pager", 24},
        {kEmail, "E-Mail", 24},
        {kHomePage, "Home Page", 256},
        {kNote, "Note", 4096},
        {28, "Custom 1", 64},
        {29, "Custom 2", 64},
        {30, "Custom 3", 64},
        {31, "Custom 4", 64},
        {32, "Custom 5", 64},
        {33, "Custom 6", 64},
        {34, "Custom 7", 64},
        {35, "Custom 8", 64},
        {36, "Custom 9", 64},
        {kCategory, "Category", 64},
        {kCreationTime, "CreationTime", 8},
        {kModificationTime, "LastModificationTime", 8},
        {kSource, "Source Type", 8},
        {kDisplayName, "Display Name", 32},
        {kAccount, "Account", 32},
        {kPrefix, "Prefix", 32},
        {kMiddleName, "Middle Name", 64},
        {kSuffix, "Suffix", 32},
        {kNickName, "Nickname", 64},
        {kProfession, "Profession", 128},
        {kAssistant, "Assistant Name", 64},
        {kAssistantPhone, "Assistant Phone", 64},
        {kPhone1Label, "Phone 1 Label", 16},
        {kPhone1, "Phone 1", 128},
        {kPhone1Label + 1, "Phone 2 Label", 16},
        {kPhone1 + 1, "Phone 2", 128},
        {kPhone1Label + 2, "Phone 3 Label", 16},
        {kPhone1 + 2, "Phone 3", 128},
        {kPhone1Label + 3, "Phone 4 Label", 16},
        {kPhone1 + 3, "Phone 4", 128},
        {kPhone1Label + 4, "Phone 5 Label", 16},
        {kPhone1 + 4, "Phone 5", 128},
        {kPhone1Label + 5, "Phone 6 Label", 16},
        {kPhone1 + 5, "Phone 6", 128},
        {kPhone1Label + 6, "Phone 7 Label", 16},
        {kPhone1 + 6, "Phone 7", 128},
        {kOtherFax, "Other Fax", 128},
        {kOtherMobile, "Other Mobile", 128},
        {kWorkEmail, "Work E-Mail", 128},
        {kEmail1, "E-Mail 1", 128},
        {kEmail1 + 1, "E-Mail 2", 128},
        {kEmail1 + 2, "E-Mail 3", 128},
        {kChat1Label, "Chat 1 Label", 16},
        {kChat1, "Chat 1", 128},
        {kChat2Label, "Chat 2 Label", 16},
        {kChat2, "Chat 2", 128},
        {kBirthday, "Birthday", 10},
        {kAnniversary, "Anniversary", 10},
        {kCustom10, "Custom 10", 255},
        {kCustom10 + 1, "Custom 11", 255},
        {kCustom10 + 2, "Custom 12", 255},
        {kCustom10 + 3, "Custom 13", 255},
        {kCustom10 + 4, "Custom 14", 255},
        {kPrivate, "Private", 4},
    }};
    return table;
}

std::string CommAddrMgr::FieldText(const CommAddrRec& rec, std::uint32_t key, bool whole) const {
    if (const std::string_view* text = TextOf(rec, key)) {
        // Texts are held whole; a cell shows what fits its buffer.
        return std::string(whole ? *text : text->substr(0, kCellMax));
    }
    switch (key) {
        case kCreationTime:
        case kModificationTime: {
            // No store fills these times, so the window shows the zero date
            // (12/30/1899 00:00:00), as Palm's own shared contact model does;
            // an export leaves a time it does not know empty.
            const double date = key == kCreationTime ? rec.dCreationTime : rec.dModificationTime;
            if (whole && date == 0) {
                return {};
            }
            CxDateTime time;
            time.SetVariantTime(date);
            return time.FormatDateTime();
        }
        case kBirthday:
            return CommAddrRec::DateText(rec.nBirthday);
        case kAnniversary:
            return CommAddrRec::DateText(rec.nAnniversary);
        case kChat1Label:
        case kChat2Label: {
            const std::size_t n = key == kChat1Label ? 0 : 1;
            return rec.aChats[n].empty() ? std::string() : CommAddrRec::ChatLabelName(rec.aChatLabels[n]);
        }
        case kPrivate:
            return rec.bPrivate ? "Yes" : "No";
        case kSource:
            if (rec.nSource == CommRecord::kSourceClassic) {
                return "Palm";
            }
            if (rec.nSource == CommRecord::kSourceExtended) {
                return "Palm(4.1.2 and aboves)";
            }
            return {};
        default:
            if (key >= kPhone1Label && key < kPhone1Label + kPhoneFields) {
                const std::size_t slot = key - kPhone1Label;
                if (slot < rec.Phones.size() && !rec.Phones[slot].szText.empty()) {
                    return CommAddrRec::PhoneLabelName(rec.Phones[slot].nLabel);
                }
            }
            return {};  // no text: the source has no name, or the key none
    }
}

}  // namespace lazrine::misc
