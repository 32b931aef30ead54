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

// The extended file's birthday: eight bytes, a little-endian signed count of
// seconds since 1970-01-01 UTC (the file's other dates are the same seconds
// in four bytes); all zero is no birthday.
std::int64_t QuadSeconds(const PmQuad& quad) {
    std::uint64_t value = 0;
    for (std::size_t i = quad.size(); i-- > 0;) {
        value = value << 8 | quad[i];
    }
    return static_cast<std::int64_t>(value);
}

// The columns of a database contact that the record files do not have.
void CopyDatabaseExtras(const PmAddrEx2Rec& from, misc::CommAddrRec& to) {
    using R = PmAddrEx2Rec;
    to.szPrefix = from.Text(R::kPrefix);
    to.szMiddleName = from.Text(R::kMiddleName);
    to.szSuffix = from.Text(R::kSuffix);
    to.szNickName = from.Text(R::kNickName);
    to.szProfession = from.Text(R::kProfession);
    to.szAssistant = from.Text(R::kAssistant);
    to.szAssistantPhone = from.Text(R::kAssistantPhone);
    to.szOtherFax = from.Text(R::kOtherFax);
    to.szOtherMobile = from.Text(R::kOtherMobile);
    to.szWorkEmail = from.Text(R::kWorkEmail);
    for (std::size_t i = 0; i < to.aEmails.size(); ++i) {
        to.aEmails[i] = from.Text(R::kEmail1 + i);
    }
    // The Pager column is a phone of its own; a slot labelled pager stays
    // in its "Phone n".
    if (!from.Text(R::kPager).empty()) {
        to.szPager = from.Text(R::kPager);
    }
    to.aChats = {from.Text(R::kChat1), from.Text(R::kChat2)};
    to.aChatLabels = {from.Number(R::kChat1Label), from.Number(R::kChat2Label)};
    to.szHomePage = from.Text(R::kWebsite);
    for (std::size_t i = 0; i < 4; ++i) {
        to.aCustom[i] = from.Text(R::kCustom1 + i);
    }
    for (std::size_t i = 4; i < to.aCustom.size(); ++i) {
        to.aCustom[i] = from.Text(R::kCustom5 + i - 4);
    }
    for (std::size_t i = 0; i < to.aMoreCustom.size(); ++i) {
        to.aMoreCustom[i] = from.Text(R::kCustom5 + 5 + i);
    }
    to.nBirthday = from.Number(R::kBirthday);
    to.nAnniversary = from.Number(R::kAnniversary);
    to.bPrivate = from.Flag(R::kPrivate) != 0;
}

}  // namespace

PmAddrInfo::PmAddrInfo()
    : m_pClassic(std::make_unique<PmAddrUtil>()),
      m_pExtended(std::make_unique<PmAddrExUtil>()),
      m_pDatabase(std::make_unique<PmAddrEx2Util>()),
      m_pHandheld(std::make_unique<PmHandheldStore>(PmKind::kContacts)) {
    SetStores({m_pDatabase.get(), m_pExtended.get(), m_pClassic.get(), m_pHandheld.get()});
    SetSwapName(ReadSwapName(PmDesktopPath::SettingsFile({})));
}

const PmKindInfo& PmAddrInfo::KindInfo() { return PmKindInfo::Of(PmKind::kContacts); }

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

void PmAddrInfo::BuildCommon(const PmRecordEntry& entry) {
    // Every phone slot is filed, so `Phones` is sized once for all of them.
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
            rec.szCategory = m_pDatabase->CategoryName(PmAddrEx2Util::CategoryIdOf(native));
            rec.Phones.reserve(PmAddrEx2Rec::kPhoneSlots);
            for (std::size_t i = 0; i < PmAddrEx2Rec::kPhoneSlots; ++i) {
                rec.FilePhone(native.Number(PmAddrEx2Rec::kPhoneLabel1 + i),
                              native.Text(PmAddrEx2Rec::kWorkPhone + i));
            }
            CopyDatabaseExtras(native, rec);
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
            rec.Phones.reserve(PmAddrExRec::kPhoneCount);
            for (std::size_t i = 0; i < PmAddrExRec::kPhoneCount; ++i) {
                rec.FilePhone(native.aPhoneLabels[i], native.aPhones[i]);
            }
            rec.szHomePage = native.szWebPage;
            rec.aChats = {native.szChat1, native.szChat2};
            rec.aChatLabels = {native.nExtraG, native.nExtraH};
            rec.nBirthday = QuadSeconds(native.qBirthday);
            rec.bPrivate = native.nPrivate != 0;
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
            rec.Phones.reserve(PmAddrRec::kPhoneCount);
            for (std::size_t i = 0; i < PmAddrRec::kPhoneCount; ++i) {
                rec.FilePhone(native.aPhoneLabels[i], native.aPhones[i]);
            }
            rec.bPrivate = native.nPrivate != 0;
            rec.nSource = misc::CommRecord::kSourceClassic;
            break;
        }
        case PM_STORE_HANDHELD: {
            const PmHandheldStore::Record& native = m_pHandheld->At(entry.nNative);
            if (const auto* contact = m_pHandheld->DataAt<PmHandheldRecords::Contact>(entry.nNative)) {
                using C = PmHandheldRecords::Contact;
                const auto& f = contact->fields;
                rec.szFirstName = f[C::kFirstName];
                rec.szLastName = f[C::kLastName];
                rec.szCompany = f[C::kCompany];
                rec.szTitle = f[C::kTitle];
                rec.Work.szStreet = f[C::kAddress];
                rec.Work.szCity = f[C::kCity];
                rec.Work.szState = f[C::kState];
                rec.Work.szPostal = f[C::kZip];
                rec.Work.szCountry = f[C::kCountry];
                rec.szNote = f[C::kNote];
                for (std::size_t i = 0; i < 4; ++i) {
                    rec.aCustom[i] = f[C::kCustom1 + i];
                }
                rec.Phones.reserve(C::kPhoneCount);
                for (std::size_t i = 0; i < C::kPhoneCount; ++i) {
                    rec.FilePhone(contact->phoneLabels[i], f[C::kPhone1 + i]);
                }
            }
            rec.szCategory = CategoryName(native.nCategory, m_pHandheld->CategoryOf(native));
            rec.bPrivate = native.bPrivate;
            rec.nSource = misc::CommRecord::kSourceHandheld;
            break;
        }
        default:
            break;
    }
    rec.nId = entry.nRecordId;
    m_CommMgr.Put(std::move(rec));
}

}  // namespace lazrine::palm
