#!/usr/bin/python3
# SMTP server for tests: listens on a free loopback port (printed as the first
# line of output) and stores every message it accepts in the folder given as
# the first argument: NNNNNN.env (sender, HELO name, then one recipient a
# line) and NNNNNN.eml (the message bytes as received, transparency dots
# removed). Further arguments are recipient addresses to refuse with 550.
import asyncio
import os
import sys

from aiosmtpd.smtp import SMTP

folder = sys.argv[1]
refused = {address.lower() for address in sys.argv[2:]}
count = 0


class Handler:
    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() in refused:
            return '550 5.1.1 Recipient refused'
        envelope.rcpt_tos.append(address)
        return '250 OK'

    async def handle_DATA(self, server, session, envelope):
        global count
        count += 1
        base = os.path.join(folder, '%06d' % count)
        lines = [envelope.mail_from or '', session.host_name or ''] + list(envelope.rcpt_tos)
        with open(base + '.env', 'w') as out:
            out.write('\n'.join(lines) + '\n')
        # The message file appears last and whole: the test waits for it.
        with open(base + '.part', 'wb') as out:
            out.write(envelope.original_content)
        os.rename(base + '.part', base + '.eml')
        return '250 OK'


async def main():
    loop = asyncio.get_running_loop()
    server = await loop.create_server(
        lambda: SMTP(Handler(), decode_data=False, enable_SMTPUTF8=False), '127.0.0.1', 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    await server.serve_forever()


asyncio.run(main())
