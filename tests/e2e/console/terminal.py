# terminal.py plain|editing - the console as a user meets it: the program
# on a pseudo-terminal, typed keys, what the terminal shows.  Each session
# prints "NAME: ok", or what it waited for in vain and the screen's end.
# "editing" holds the sessions that need the line editor (libedit).
import fcntl, os, pty, select, signal, struct, sys, termios, time

ONDREL = os.environ['ONDREL']
LEFT, UP, BACKSPACE, CTRL_C, CTRL_D = '\x1b[D', '\x1b[A', '\x7f', '\x03', '\x04'
# "不正な引き数です--リストが要求されています" in UTF-8 and in Shift-JIS;
# the farewell "ばいばい。" in both.
NEED_LIST = '不正な引き数です--リストが要求されています'
NEED_LIST_SJIS = NEED_LIST.encode('cp932')
BYE_JA_SJIS = 'ばいばい。'.encode('cp932')


class Missing(Exception):
    pass


LIVE = []  # the sessions still to be closed


def b(text):
    return text if isinstance(text, bytes) else text.encode()


class Term:
    def __init__(self, home, args=(), env=(), lang='C.UTF-8'):
        self.out, self.mark = b'', 0
        LIVE.append(self)
        environ = {'HOME': home, 'TERM': 'xterm', 'LANG': lang, 'LC_ALL': lang, 'PATH': '/usr/bin:/bin'}
        for name in ('ASAN_OPTIONS', 'UBSAN_OPTIONS'):
            if name in os.environ:
                environ[name] = os.environ[name]
        environ.update(env)
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            fcntl.ioctl(0, termios.TIOCSWINSZ, struct.pack('HHHH', 24, 80, 0, 0))
            os.chdir(home)
            os.execve(ONDREL, [ONDREL, *args], environ)
        self.expect('S> ')

    def pump(self, seconds):  # False once the program closed the terminal
        if select.select([self.fd], [], [], seconds)[0]:
            try:
                data = os.read(self.fd, 4096)
            except OSError:
                return False
            if not data:
                return False
            self.out += data
        return True

    def expect(self, text, seconds=15):
        text, end = b(text), time.monotonic() + seconds
        while True:
            at = self.out.find(text, self.mark)
            if at >= 0:
                self.mark = at + len(text)
                return
            if time.monotonic() > end or not self.pump(0.1):
                if self.out.find(text, self.mark) < 0:
                    raise Missing('waited for %r, the screen ends %r' % (text, self.out[-200:]))

    def rest(self, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end and self.pump(0.05):
            pass

    # With the line editor, type only once it reads keys: a key typed
    # earlier is echoed twice, and a Ctrl+D typed earlier is lost.
    def type(self, keys):
        end = time.monotonic() + 15
        while EDITOR and termios.tcgetattr(self.fd)[3] & termios.ICANON and time.monotonic() < end:
            self.pump(0.01)
        os.write(self.fd, b(keys))

    def line(self, keys, result):  # a line, its result and the next prompt
        self.type(keys + '\r')
        self.expect('\r\n' + result + '\r\n')
        self.expect('S> ')

    def resize(self, rows, cols):
        fcntl.ioctl(self.fd, termios.TIOCSWINSZ, struct.pack('HHHH', rows, cols, 0, 0))

    def quit(self, farewell='Bye.'):  # Ctrl+D at the prompt: farewell, status 0
        self.type(CTRL_D)
        self.expect(b(farewell) + b'\r\n')
        end = time.monotonic() + 15
        while time.monotonic() < end:
            pid, status = os.waitpid(self.pid, os.WNOHANG)
            if pid:
                self.pid = 0
                if os.waitstatus_to_exitcode(status) != 0:
                    raise Missing('exit status %d' % os.waitstatus_to_exitcode(status))
                return
            self.pump(0.02)
        raise Missing('the program did not end')

    def close(self):
        if self.pid:
            os.kill(self.pid, signal.SIGKILL)
            os.waitpid(self.pid, 0)
            self.pid = 0
        if self in LIVE:
            LIVE.remove(self)
            os.close(self.fd)


def history(home):
    with open(os.path.join(home, '.ondrel_history'), 'rb') as f:
        return f.read()


# ---- sessions every build has

def prompt(home):
    t = Term(home)
    if b'\r\nS> ' not in t.out:
        raise Missing('no prompt on a line of its own: %r' % t.out)
    t.line('(+ 1 2)', '3')
    t.line('(define x 5)', '#<unspecified>')
    # Two data on one line: the second prompt comes before the second result.
    t.type('1 2\r')
    t.expect('\r\n1\r\nS> 2\r\nS> ')
    t.type('(+ 1\r')  # a datum spread over lines is one datum
    t.expect('(+ 1\r\n')
    t.line('41)', '42')
    # The prompt is the symbol #<PROMPT>; a Japanese one shows in UTF-8.
    t.type("(set! #<PROMPT> 'ready>)\r")
    t.expect('\r\n#<unspecified>\r\nready> ')
    t.type("(set! #<PROMPT> 'ほげ>)\r")
    t.expect('\r\nほげ> ')


def ctrl_c_at_prompt(home):
    t = Term(home)
    t.type('(+ 1')
    t.rest(0.3)  # the editor has the keys before the break comes
    t.type(CTRL_C)
    t.expect('Error : User break\r\nAt toplevel\r\n')
    t.expect('S> ')
    t.line("'after", 'after')  # had "(+ 1" been kept, this would fail
    t.type(CTRL_C)  # a break at an empty prompt
    t.expect('User break')
    t.expect('S> ')
    t.line('(+ 2 3)', '5')
    t.quit()


def japanese(home):
    t = Term(home, ['-J'])  # a UTF-8 terminal: converted
    t.type('(car 5)\r')
    t.expect('Error : ' + NEED_LIST + '\r\nAt (car 5)\r\n')
    t.expect('S> ')
    t.quit('ばいばい。')
    if NEED_LIST_SJIS in t.out:
        raise Missing('Shift-JIS on a UTF-8 terminal')
    t.close()
    # A raw console or a locale without UTF-8 passes the bytes as they are.
    for env, lang in (({'ONDREL_CONSOLE': 'raw'}, 'C.UTF-8'), ({}, 'C')):
        t = Term(home, ['-J'], env, lang)
        t.type('(car 5)\r')
        t.expect(b'Error : ' + NEED_LIST_SJIS + b'\r\n')
        t.expect('S> ')
        if env:
            t.line('(string-length "あ")', '3')  # three typed bytes for one kana
            t.quit(BYE_JA_SJIS)
        t.close()


def utf8_strings(home):
    t = Term(home)
    # Four characters of two Shift-JIS bytes each reach the reader, and
    # come back as typed (表 ends in 0x5C).
    t.line('(string-length "あいう表")', '8')
    t.line('(string-append "あい" "う表")', '"あいう表"')
    t.line('(char->integer (string-ref "あいう表" 7))', '92')
    t.line('(string-length "😀")', '4')  # no Shift-JIS form: its UTF-8 bytes
    t.line('(write "あいう表")', '"あいう表"#<unspecified>')
    # The transcript holds the bytes the reader read.
    t.type('(transcript-on "t.txt")\r')
    t.expect('\r\nS> ')
    t.line('(string-length "あ")', '2')
    t.type('(transcript-off)\r')
    t.expect('\r\nS> ')
    t.quit()
    with open(os.path.join(home, 't.txt'), 'rb') as f:
        if b'(string-length "\x82\xa0")\n2\n' not in f.read():
            raise Missing('the transcript lacks the Shift-JIS line')


def unwritable_history(home):
    os.mkdir(os.path.join(home, '.ondrel_history'))  # a directory in its place
    t = Term(home)
    t.line('(+ 1 2)', '3')
    t.line("'again", 'again')
    t.quit()
    if b'history' in t.out or b'rror' in t.out:
        raise Missing('reported: %r' % t.out)


# ---- sessions of the line editor

def editing(home):
    t = Term(home)
    # (+ 1000 3): three steps left stand after 1000; the last 0 becomes 7.
    t.line('(+ 1000 3)' + LEFT * 3 + BACKSPACE + '7', '1010')
    t.line('+ 2 3)\x01(', '5')  # Ctrl+A goes to the front
    t.line('(+ 1 23)' + LEFT * 2 + CTRL_D, '3')  # Ctrl+D in a line deletes
    t.type('(+ 1')
    t.rest(0.2)
    t.resize(30, 40)  # a resize while editing keeps the line
    t.rest(0.2)
    t.line(' 2)', '3')
    t.resize(24, 100)
    t.line("'" + 'x' * 90, 'x' * 90)
    t.quit()
    if b"S> '" + b'x' * 90 + b'\r\n' not in t.out:  # one row at 100 columns
        raise Missing('the line wrapped at 100 columns')


def recall(home):
    t = Term(home)
    t.line('(+ 40 2)', '42')
    t.line("(list 'second)", '(second)')
    t.line(UP + UP, '42')
    t.quit()
    if b"'second)\n" not in history(home):
        raise Missing('history file: %r' % history(home))
    t.close()
    t = Term(home)  # after a restart
    t.line(UP, '42')
    t.line(UP * 3, '(second)')
    t.quit()


def history_limit(home):
    with open(os.path.join(home, '.ondrel_history'), 'w') as f:
        f.write('_HiStOrY_V2_\n' + ''.join("'old%d\n" % i for i in range(1, 1201)))
    t = Term(home)
    t.line(UP, 'old1200')
    t.line("'newest", 'newest')
    t.quit()
    text = history(home)
    if not 990 <= text.count(b'\n') <= 1001 or b"'newest\n" not in text or b"'old1\n" in text:
        raise Missing('history keeps %d lines' % text.count(b'\n'))


SESSIONS = {'plain': [prompt, ctrl_c_at_prompt, japanese, utf8_strings, unwritable_history],
            'editing': [editing, recall, history_limit]}
EDITOR = os.environ.get('EDITING') == '1'
for session in SESSIONS[sys.argv[1]]:
    home = os.path.abspath(session.__name__)
    os.mkdir(home)
    try:
        session(home)
        print(session.__name__ + ': ok')
    except (Missing, OSError) as e:
        print('%s: %s' % (session.__name__, e))
    for t in list(LIVE):
        t.close()
