#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "common/palm/PmRecordSet.h"

namespace lazrine::palm {

// The part of a record set that depends only on its common record list:
// a kind derives from PmRecordSetOf<ItsCommMgr> and adds its stores and the
// conversion of a native record to its common record (BuildCommon, which
// hands the record it builds to the list's Put()).
template <class CommMgr>
class PmRecordSetOf : public PmRecordSet {
public:
    CommMgr& GetCommMgr() { return m_CommMgr; }
    const CommMgr& GetCommMgr() const { return m_CommMgr; }

    std::size_t CommonCount() const override { return m_CommMgr.Count(); }
    const misc::CommRecord& CommonAt(std::size_t i) const override { return m_CommMgr.At(i); }
    bool GetFieldInfo(std::uint32_t key, misc::CommFieldInfo& info) const override {
        return m_CommMgr.GetFieldInfo(key, info);
    }
    std::string FieldText(std::size_t i, std::uint32_t key, std::size_t len = 4096) const override {
        const misc::CommFieldInfo* info = i < m_CommMgr.Count() ? m_CommMgr.FindField(key) : nullptr;
        return info != nullptr ? m_CommMgr.GetFieldText(m_CommMgr.At(i), *info, len) : std::string{};
    }
    std::string WholeFieldText(std::size_t i, std::uint32_t key) const override {
        const misc::CommFieldInfo* info = i < m_CommMgr.Count() ? m_CommMgr.FindField(key) : nullptr;
        return info != nullptr ? m_CommMgr.GetWholeFieldText(m_CommMgr.At(i), *info) : std::string{};
    }
    std::vector<misc::CommFieldInfo> FieldRows() const override {
        const auto table = m_CommMgr.FieldTable();
        return {table.begin(), table.end()};
    }

protected:
    // The category name a common record shows: the stored name, except for
    // id 0, which every generation keeps for records without a category
    // (the files name it "Unfiled"), so an uncategorised record has none.
    template <class Id>
    static std::string_view CategoryName(Id id, const std::string& name) {
        return CategoryName(id, std::string_view(name));
    }
    template <class Id>
    static std::string_view CategoryName(Id id, std::string_view name) {
        return id == 0 ? std::string_view() : name;
    }

    void SetCommonCount(std::size_t n) override {
        m_CommMgr.SetSource(n, [this](std::size_t i) { BuildCommon(EntryAt(i)); });
    }
    void ClearCommon() override { m_CommMgr.Clear(); }
    long CommonIndexOf(const misc::CommRecord* rec) const override { return m_CommMgr.IndexOf(rec); }

    CommMgr m_CommMgr;
};

}  // namespace lazrine::palm
