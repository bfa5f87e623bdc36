// Mail is private: a pass of the real postp and posta under a permissive
// umask makes every folder of the messages tree 0700 and every pending and
// In mail file, launch copy, status log and journal 0600, while a messages
// folder the user made 0755 keeps that mode.
#include "fixtures/agent_fixture.h"
#include "fixtures/real_programs_run.h"

#include "platform/files.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/scoped_umask.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <sys/stat.h>

namespace agents_test {
namespace {

using test_support::modeOf;

class PrivateMailRun : public RealProgramsRun, public ::testing::WithParamInterface<mode_t> {
protected:
    void SetUp() override
    {
        if (const std::string missing = missingForRun(); !missing.empty())
            GTEST_FAIL() << missing;
    }

    // "mode path" lines written by the probe -> mode by path.
    std::map<std::string, int> probed() const
    {
        std::map<std::string, int> out;
        std::istringstream lines(test_support::readFile(probeOut));
        std::string mode, path;
        while (lines >> mode >> path)
            out[path] = std::stoi(mode, nullptr, 8);
        return out;
    }

    std::string programFolder = home.folder() + "/home/";
    std::string messages = home.folder() + "/messages/";
    std::string probeOut = home.folder() + "/probed";
};

TEST_P(PrivateMailRun, WhatAPassMakesIsTheUsersAloneAndAnExistingFolderKeepsItsMode)
{
    test_support::DovecotServer pop;
    pop.addMessage(MailText("<p1@example.org>", "Private 1"));
    pop.addMessage(MailText("<p2@example.org>", "Private 2"));
    home.addAccount({"acct", "Desk", "desk@example.org", pop.address(), ""});
    // The launched program reads the modes of what exists only while posta
    // runs: its journal and the pending file being processed. The delay
    // keeps posta running until it has.
    const std::string probe = home.folder() + "/probe.sh";
    test_support::writeFile(probe, "#!/bin/sh\nstat -c '%a %n' \"$1\" " + programFolder + "agentproc.log.journal " +
                                       home.pendingFolder("acct") + "*.eml >> " + probeOut + "\n");
    ASSERT_EQ(::chmod(probe.c_str(), 0755), 0);
    home.writeAgent("Probe", {{"Subject", "contains", "Private"}},
                    {{"LAUNCH PROGRAM", probe, ""}, {"DELAY THE AGENT", "1", ""}});
    home.attachAgent("acct", "Probe");
    // The user made the messages folder open to others; that stays theirs to choose.
    ASSERT_EQ(::mkdir(messages.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(messages.c_str(), 0755), 0);

    test_support::ScopedUmask mask(GetParam());
    const ProgramExit retrieved = home.run(postp);
    ASSERT_TRUE(retrieved.exited);
    EXPECT_EQ(retrieved.status, 0) << home.log("postproc.log");
    const auto pending = home.pendingFiles("acct");
    ASSERT_EQ(pending.size(), 2u) << home.log("postproc.log");
    EXPECT_EQ(modeOf(messages), 0755);
    EXPECT_EQ(modeOf(messages + "acct"), 0700);
    EXPECT_EQ(modeOf(home.pendingFolder("acct")), 0700);
    for (const std::string& name : pending)
        EXPECT_EQ(modeOf(home.pendingFolder("acct") + name), 0600) << name;
    EXPECT_EQ(modeOf(programFolder + "postproc.log"), 0600);

    const ProgramExit processed = home.run(posta);
    ASSERT_TRUE(processed.exited);
    EXPECT_EQ(processed.status, 0) << home.log("agentproc.log");
    EXPECT_TRUE(home.pendingFiles("acct").empty());
    ASSERT_EQ(home.receivedFiles("acct").size(), 2u);
    EXPECT_EQ(modeOf(home.receivedFolder("acct")), 0700);
    for (const std::string& name : home.receivedFiles("acct"))
        EXPECT_EQ(modeOf(home.receivedFolder("acct") + name), 0600) << name;
    EXPECT_EQ(modeOf(programFolder + "agentproc.log"), 0600);
    EXPECT_EQ(modeOf(programFolder + "temp"), 0700);
    const auto copies = platform::FindFiles(programFolder + "temp/", "*.eml");
    ASSERT_EQ(copies.size(), 2u);
    for (const std::string& name : copies)
        EXPECT_EQ(modeOf(programFolder + "temp/" + name), 0600) << name;
    EXPECT_EQ(modeOf(messages), 0755);

    const auto seen = probed();
    int journals = 0, launched = 0, waiting = 0;
    for (const auto& [path, mode] : seen) {
        EXPECT_EQ(mode, 0600) << path;
        journals += path.ends_with(".journal");
        launched += path.rfind(programFolder + "temp/", 0) == 0;
        waiting += path.rfind(home.pendingFolder("acct"), 0) == 0;
    }
    EXPECT_EQ(journals, 1) << test_support::readFile(probeOut);
    EXPECT_EQ(launched, 2) << test_support::readFile(probeOut);
    EXPECT_GE(waiting, 1) << test_support::readFile(probeOut);
}

INSTANTIATE_TEST_SUITE_P(PermissiveUmasks, PrivateMailRun, ::testing::Values(mode_t{0002}, mode_t{0022}));

}  // namespace
}  // namespace agents_test
