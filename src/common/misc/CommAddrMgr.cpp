#include "common/misc/CommAddrMgr.h"

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

// The member behind a text key (1 to 39), or none.
const std::string_view* TextOf(const CommAddrRec& rec, std::uint32_t key) {
    using K = CommAddrMgr::Key;
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
        default:
            return nullptr;
    }
}

}  // namespace

void CommAddrRec::FilePhone(std::int64_t label, const std::string& text) {
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
        case 7:
            szMobilePhone = text;
            break;
        default:
            break;  // 6 (pager) and unknown labels are not filed
    }
}

std::span<const CommFieldInfo> CommAddrMgr::FieldTable() const {
    static const std::array<CommFieldInfo, 44> table{{
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
            // No store fills these times, so a contact shows the zero date
            // (12/30/1899 00:00:00), as Palm's own shared contact model does.
            CxDateTime time;
            time.SetVariantTime(key == kCreationTime ? rec.dCreationTime : rec.dModificationTime);
            return time.FormatDateTime();
        }
        case kSource:
            if (rec.nSource == CommRecord::kSourceClassic) {
                return "Palm";
            }
            if (rec.nSource == CommRecord::kSourceExtended) {
                return "Palm(4.1.2 and aboves)";
            }
            return {};
        default:
            return {};  // no text: the source has no name, or the key none
    }
}

}  // namespace lazrine::misc
