#pragma once
// The fixture the registry layer's call tests share.

#include <gtest/gtest.h>

#include <memory>

#include "platform/ansi_codec.h"

namespace hivora::test {

// Every test runs with the code page 936 codec.
class RegistryLayerCallsBase : public testing::Test {
  protected:
    void SetUp() override {
        auto codec = makeAnsiCodec(936);
        ASSERT_TRUE(codec.isOk()) << codec.status().message();
        m_codec = std::move(codec).value();
    }
    std::unique_ptr<AnsiCodec> m_codec;
};

}  // namespace hivora::test
