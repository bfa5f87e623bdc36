#include "message_window_fixture.h"

#include "tests/support/command_output.h"

namespace managertest {

std::string MessageWindowTest::pythonReading(const std::string& path)
{
    const std::string script =
        "import sys, email, email.policy\n"
        "m = email.message_from_binary_file(open(sys.argv[1], 'rb'), policy=email.policy.default)\n"
        "print('subject', m['Subject'])\n"
        "print('from', m['From'])\n"
        "print('to', m['To'])\n"
        "print('defects', sum(len(p.defects) for p in m.walk()))\n"
        "for p in m.walk():\n"
        "    if p.get_filename():\n"
        "        print('attachment', p.get_filename(), len(p.get_payload(decode=True)))\n"
        "body = m.get_body(('plain',))\n"
        "print(body.get_content() if body else '')\n";
    const std::string scriptFile = path + ".py";
    test_support::writeFile(scriptFile, script);
    using test_support::shellQuoted;
    return test_support::runCommand("/usr/bin/python3 " + shellQuoted(scriptFile) + " " + shellQuoted(path)).output;
}

}  // namespace managertest
