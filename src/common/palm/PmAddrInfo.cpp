#include "common/palm/PmAddrInfo.h"

#include "common/palm/desktop/PmDesktopPath.h"
#include "platform/ProfileFile.h"

namespace lazrine::palm {
namespace {

void CopyAddress(const PmPostalAddress& from, misc::CommAddress& to) {
    to.szStreet = from.szStreet;
    to.szCity = from.szCity;
    to.szState = from.szState;
    to.szPostal = from.szPostal;
    to.szCountry = from.szCountry;
}

void CopyAddress(const PmAddrEx2Rec& from, std::size_t street, misc::CommAddress& to) {
    to.szStreet = from.Text(street);
    to.szCity = from.Text(street + 1);
    to.szState = from.Text(street + 2);
    to.szPostal = from.Text(street + 3);
    to.szCountry = from.Text(street + 4);
}

}  // namespace

PmAddrInfo::PmAddrInfo()
    : m_pClassic(std::make_unique<PmAddrUtil>()),
      m_pExtended(std::make_unique<PmAddrExUtil>()),
      m_pDatabase(std::make_unique<PmAddrEx2Util>()) {
    SetStores({m_pDatabase.get(), m_pExtended.get(), m_pClassic.get()});
    SetSwapName(ReadSwapName(PmDesktopPath::SettingsFile({})));
}

const PmKindInfo& PmAddrInfo::KindInfo() {
    using K = misc::CommAddrMgr::Key;
    static const PmKindInfo info{"contacts",
                                 "address book",
                                 "Contact ( Address Book )",
                                 {{K::kFirstName, "First Name", 100},
                                  {K::kLastName, "Last Name", 100},
                                  {K::kEmail, "Email Address", 160},
                                  {K::kWorkPhone, "Work Phone", 100},
                                  {K::kMobilePhone, "Mobile Phone", 100},
                                  {K::kHomePhone, "Home Phone", 100},
                                  {K::kCompany, "Company", 100},
                                  {K::kTitle, "Title", 100}},
                                 "address\\",
                                 "Address.mdb"};
    return info;
}

PmStoreKind PmAddrInfo::ProbeFile(const std::string& path) { return PmAddrInfo().Probe(path); }

bool PmAddrInfo::ReadSwapName(const std::string& settingsFile) {
    return platform::ProfileFile::ReadInt(settingsFile, "ContactMirror", "SwapName", 0) == 1;
}

void PmAddrInfo::UseSettingsFile(const std::string& settingsFile) {
    SetSwapName(ReadSwapName(PmDesktopPath::SettingsFile(settingsFile)));
}

void PmAddrInfo::SetSwapName(bool swap) {
    m_bSwapName = swap;
    m_pClassic->SetSwapName(swap);
    m_pExtended->SetSwapName(swap);
}

std::unique_ptr<PmRecordSet> PmAddrInfo::CreateEmpty() const {
    auto fresh = std::make_unique<PmAddrInfo>();
    fresh->SetSwapName(m_bSwapName);
    return fresh;
}

void PmAddrInfo::AppendCommon(const PmRecordEntry& entry) {
    misc::CommAddrRec rec;
    switch (entry.nKind) {
        case PM_STORE_DATABASE: {
            const PmAddrEx2Rec& native = m_pDatabase->GetDataMgr().At(entry.nNative);
            rec.szFirstName = native.Text(PmAddrEx2Rec::kFirstName);
            rec.szLastName = native.Text(PmAddrEx2Rec::kLastName);
            rec.szCompany = native.Text(PmAddrEx2Rec::kCompany);
            rec.szTitle = native.Text(PmAddrEx2Rec::kJobTitle);
            CopyAddress(native, PmAddrEx2Rec::kWorkStreet, rec.Work);
            CopyAddress(native, PmAddrEx2Rec::kHomeStreet, rec.Home);
            CopyAddress(native, PmAddrEx2Rec::kOtherStreet, rec.Other);
            rec.szNote = native.Text(PmAddrEx2Rec::kNote);
            rec.szCategory = native.szCategory;
            for (std::size_t i = 0; i < PmAddrEx2Rec::kPhoneSlots; ++i) {
                rec.FilePhone(native.Number(PmAddrEx2Rec::kPhoneLabel1 + i),
                              native.Text(PmAddrEx2Rec::kWorkPhone + i));
            }
            rec.nSource = misc::CommRecord::kSourceDatabase;
            break;
        }
        case PM_STORE_EXTENDED: {
            const PmAddrExRec& native = m_pExtended->GetDataMgr().At(entry.nNative);
            rec.szFirstName = native.szFirstName;
            rec.szLastName = native.szLastName;
            rec.szCompany = native.szCompany;
            rec.szTitle = native.szTitle;
            CopyAddress(native.WorkAddress, rec.Work);
            CopyAddress(native.HomeAddress, rec.Home);
            CopyAddress(native.OtherAddress, rec.Other);
            rec.szNote = native.szNote;
            for (std::size_t i = 0; i < PmAddrExRec::kCustomCount; ++i) {
                rec.aCustom[i] = native.aCustom[i];
            }
            rec.szCategory = native.szCategory;
            for (std::size_t i = 0; i < PmAddrExRec::kPhoneCount; ++i) {
                rec.FilePhone(native.aPhoneLabels[i], native.aPhones[i]);
            }
            rec.nSource = misc::CommRecord::kSourceExtended;
            break;
        }
        case PM_STORE_CLASSIC: {
            const PmAddrRec& native = m_pClassic->GetDataMgr().At(entry.nNative);
            rec.szFirstName = native.szFirstName;
            rec.szLastName = native.szLastName;
            rec.szCompany = native.szCompany;
            rec.szTitle = native.szTitle;
            CopyAddress(native.Address, rec.Work);
            rec.szNote = native.szNote;
            for (std::size_t i = 0; i < PmAddrRec::kCustomCount; ++i) {
                rec.aCustom[i] = native.aCustom[i];
            }
            rec.szCategory = native.szCategory;
            for (std::size_t i = 0; i < PmAddrRec::kPhoneCount; ++i) {
                rec.FilePhone(native.aPhoneLabels[i], native.aPhones[i]);
            }
            rec.nSource = misc::CommRecord::kSourceClassic;
            break;
        }
        default:
            break;
    }
    rec.nId = entry.nRecordId;
    rec.nStatus = entry.nStatus;
    rec.attached = entry;
    rec.bAttached = true;
    m_CommMgr.Add(std::move(rec));
}

}  // namespace lazrine::palm
