#!/usr/bin/python3
# The SMTP server for tests (smtp_sink.py, same arguments and files), strict
# as many real servers are: a message holding a line of more than 998
# characters (RFC 5321 4.5.3.1.6) is refused with "500 Line too long".
import os
import runpy

from aiosmtpd.smtp import SMTP

# 998 characters and the CR LF that ends the line.
SMTP.line_length_limit = 1000
runpy.run_path(os.path.join(os.path.dirname(os.path.abspath(__file__)), "smtp_sink.py"), run_name="__main__")
