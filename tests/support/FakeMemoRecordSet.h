#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/misc/CommNoteMgr.h"
#include "common/palm/PmRecordSetOf.h"
#include "common/palm/PmStore.h"

namespace lazrine::testing {

struct FakeRecord {
    std::uint32_t id = 0;
    std::uint32_t status = 0;
};

// A database store: its Save writes every changed record, all or none, and
// refuses the whole save when record `failId` is among them.
class FakeDatabaseStore final : public palm::PmStore {
public:
    FakeDatabaseStore(std::vector<FakeRecord> records, std::uint32_t failId);

    palm::PmStoreKind StoreKind() const override { return palm::PM_STORE_DATABASE; }
    bool Load(const std::string& path) override;
    bool LoadForUser(std::uint32_t userId) override;
    bool IsLoaded() const override { return m_bLoaded; }
    bool Save() override;
    void Clear() override;
    std::size_t Count() const override { return m_records.size(); }
    std::uint32_t RecordIdAt(std::size_t index) const override { return m_records.at(index).id; }
    std::uint32_t StatusAt(std::size_t index) const override { return m_records.at(index).status; }
    void SetStatusAt(std::size_t index, std::uint32_t status) override { m_records.at(index).status = status; }
    const std::string& LastError() const override { return m_error; }
    platform::IoFailure LastFailure() const override {
        return m_error.empty() ? platform::IoFailure::kNone : platform::IoFailure::kWriteFailed;
    }
    std::string SourceName() const override { return "fake.mdb"; }

    // What was written, by record: the records the "database" holds now.
    const std::vector<FakeRecord>& Written() const { return m_written; }
    // The text of a loaded record ("memo <id>"), which common records refer to.
    const std::string& TextAt(std::size_t index) const { return m_texts.at(index); }

private:
    std::vector<FakeRecord> m_written;
    std::vector<FakeRecord> m_records;
    std::vector<std::string> m_texts;
    std::uint32_t m_failId;
    bool m_bLoaded = false;
    std::string m_error;
};

// A memo record set over a FakeDatabaseStore.
class FakeMemoRecordSet final : public palm::PmRecordSetOf<misc::CommNoteMgr> {
public:
    FakeMemoRecordSet(std::vector<FakeRecord> records, std::uint32_t failId);

    const palm::PmKindInfo& Kind() const override;
    const FakeDatabaseStore& Store() const { return m_store; }

protected:
    std::unique_ptr<palm::PmRecordSet> CreateEmpty() const override;
    void BuildCommon(const palm::PmRecordEntry& entry) override;

private:
    std::vector<FakeRecord> m_records;
    std::uint32_t m_failId;
    FakeDatabaseStore m_store;
};

}  // namespace lazrine::testing
