#pragma once
// What the tests of the registry layer, the value conversions and the configuration file share: a
// code page 936 codec, as on a Simplified Chinese system, and the naming of table cases.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/ansi_codec.h"

namespace hivora::test {

class CodePage936Test : public testing::Test {
  protected:
    void SetUp() override {
        auto codec = makeAnsiCodec(936);
        ASSERT_TRUE(codec.isOk()) << codec.status().message();
        m_codec = std::move(codec).value();
    }
    std::unique_ptr<AnsiCodec> m_codec;
};

// A table case is named by its `name` member.
template <typename Case>
std::string caseName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

}  // namespace hivora::test
