#pragma once
// Gives every test a HOME of its own so settings files never touch the real user's.

#include <gtest/gtest.h>

#include <string>

class IsolatedHomeListener : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override;
    void OnTestEnd(const testing::TestInfo&) override;

    static const std::string& CurrentHome();
};

// Installs the listener; call after InitGoogleTest.
void InstallIsolatedHome();
