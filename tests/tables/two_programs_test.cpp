// Two programs on one table: a row one posts is seen by the other, and an
// edit lock held by one refuses the other's edit.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "table_fixture.h"
#include "tables/db_errors.h"
#include "tables/table.h"
#include "xbase/sx.h"

using namespace tabletest;

namespace {

class TablesTwoPrograms : public TablesTest {
protected:
    void SetUp() override {
        TablesTest::SetUp();
        makeTable("NODES.DBF", nodeFields(), {{"UNIQUE_ID", "UNIQUE_ID", true}});
        addRows("NODES.DBF", {{"n1", "g1", "first"}});
        ASSERT_EQ(pipe(toChild), 0);
        ASSERT_EQ(pipe(toParent), 0);
    }
    void TearDown() override {
        for (int fd : {toChild[0], toChild[1], toParent[0], toParent[1]}) close(fd);
        TablesTest::TearDown();
    }
    static void send(int fd, char c) { ASSERT_EQ(write(fd, &c, 1), 1); }
    static char receive(int fd) {
        char c = 0;
        return read(fd, &c, 1) == 1 ? c : '!';
    }
    void open(TTable& t) {
        t.DatabaseName = folder;
        t.TableName = "nodes.dbf";  // another spelling of the same file
        t.TableType = ttSXFOX;
        t.Open();
    }
    // The other program: appends a row, then holds an edit lock until told.
    [[noreturn]] void child() {
        int status = 1;
        try {
            TTable t;
            open(t);
            t.Append();
            t.FieldByName("UNIQUE_ID").SetAsString("n2");
            t.FieldByName("NODE").SetAsString("from the child");
            t.Post();
            send(toParent[1], 'p');
            t.First();
            t.Edit();
            t.FieldByName("NODE").SetAsString("child edit");
            send(toParent[1], 'e');
            if (receive(toChild[0]) == 'g') {
                t.Post();
                status = 0;
            }
            send(toParent[1], 'd');
        } catch (const std::exception&) {
            send(toParent[1], 'x');
        }
        _exit(status);
    }
    int toChild[2] = {-1, -1};
    int toParent[2] = {-1, -1};
};

}  // namespace

TEST_F(TablesTwoPrograms, PostsAreSeenAndEditLocksRefuse) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) child();
    TTable t;
    open(t);
    ASSERT_EQ(receive(toParent[0]), 'p');
    t.Refresh();
    t.Last();
    EXPECT_EQ(t.FieldByName("NODE").AsString(), "from the child");
    ASSERT_EQ(receive(toParent[0]), 'e');
    t.First();
    try {
        t.Edit();
        ADD_FAILURE() << "edited a row the other program holds";
        t.Cancel();
    } catch (const EDBEngineError& e) {
        EXPECT_EQ(e.ErrorCode(), tables::kRecordLocked);
    }
    send(toChild[1], 'g');
    EXPECT_EQ(receive(toParent[0]), 'd');
    int status = -1;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    t.Refresh();
    EXPECT_EQ(t.FieldByName("NODE").AsString(), "child edit");
    t.Edit();
    t.FieldByName("NODE").SetAsString("parent edit");
    t.Post();
}
