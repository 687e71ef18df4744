# eecxx.dll: gdb Python of the Asmora debugger front end (windbg.exe): the commands
# behind its keys and the start of a session.
#   asmora-start   hands the program's console window to gdb, has code page 936
#                  sources shown from UTF-8 copies, stops at the program's entry
#                  and opens the views; on a machine that cannot execute i386
#                  programs it starts the program under qemu-i386 and connects
#                  gdb to qemu's gdb stub instead
#   asmora-next    (F10) one .asm line further, over calls and macros
#   asmora-step    (F11) one .asm line further, into called procedures with source
#   memory &name   (Alt+5) a variable's type, address, value and bytes
#   registers      (Alt+4) shows or hides the registers view
#   arrange        (Alt+R) the standard arrangement of the views again
# gdb loads it with: python exec(open(<support folder> + '/eecxx.dll').read())
import ctypes
import os
import shutil
import subprocess
import threading
import time

import gdb

SUPPORT = os.environ.get('ASMORA_DEBUG_SUPPORT', os.path.dirname(os.path.abspath(__file__))
                         if '__file__' in globals() else '.')


def read_lines(name):
    try:
        with open(os.path.join(SUPPORT, name), encoding='utf-8') as file:
            return [line.strip() for line in file if line.strip() and not line.startswith('#')]
    except OSError:
        return []


def read_texts():
    """tlloc.dll: "key = text" lines."""
    texts = {}
    for line in read_lines('tlloc.dll'):
        key, _, value = line.partition('=')
        texts[key.strip()] = value.strip().replace('\\n', '\n')
    return texts


def read_types():
    """shcv.dll: "name size kind" rows."""
    types = []
    for line in read_lines('shcv.dll'):
        name, size, kind = line.split()[:3]
        types.append((name, int(size), kind))
    return types


TEXTS = read_texts()
TYPES = read_types()


def text(key, argument=''):
    return TEXTS.get(key, key).replace('%1', argument)


def masm_type_name(size, kind):
    for name, type_size, type_kind in TYPES:
        if type_size == size and type_kind == kind:
            return name
    for name, type_size, _ in TYPES:
        if type_size == size:
            return name
    return '%d 字节' % size


# The layout of msdbi.dll now shown; None while the text interface is off.
VIEW = {'layout': None}


def entry_address():
    """The address of the program's own entry: asmoraEntry, which link.exe defines
    as the entry named by END (or /entry) when a start-up stub runs first, else
    _start, the course programs' usual entry; None without either."""
    for name in ('asmoraEntry', '_start'):
        try:
            return int(gdb.parse_and_eval('(unsigned int)&' + name))
        except gdb.error:
            pass
    return None


def read_available(address, length):
    """Up to length bytes from address, fewer where the memory ends."""
    inferior = gdb.selected_inferior()
    data = b''
    for offset in range(0, length, 4):
        try:
            data += bytes(inferior.read_memory(address + offset, min(4, length - offset)))
        except gdb.MemoryError:
            break
    return data


class ConsoleWindow:
    """The program's console window: raised while the program runs for more than a
    moment (it may be waiting for input), and the debugger window again when the
    program stops. xterm does this on ESC [ 5 t (allowWindowOps)."""

    RAISE = b'\x1b[5t'

    def __init__(self):
        self.tty = None
        self.timer = None
        self.raised = False
        gdb.events.cont.connect(self.on_continue)
        gdb.events.stop.connect(self.on_stop)
        gdb.events.exited.connect(self.on_stop)

    def attach(self, tty):
        self.tty = tty

    def write(self, path, data):
        try:
            fd = os.open(path, os.O_WRONLY | os.O_NOCTTY)
            try:
                os.write(fd, data)
            finally:
                os.close(fd)
        except OSError:
            pass

    def raise_console(self):
        self.raised = True
        self.write(self.tty, self.RAISE)

    def on_continue(self, event):
        if self.tty and self.timer is None:
            self.timer = threading.Timer(0.5, self.raise_console)
            self.timer.daemon = True
            self.timer.start()

    def on_stop(self, event):
        if self.timer is not None:
            self.timer.cancel()
            self.timer = None
        if self.raised:
            self.raised = False
            self.write('/dev/tty', self.RAISE)


CONSOLE = ConsoleWindow()


class Emulator:
    """qemu-i386 running the program under its gdb stub, where the kernel does not
    execute i386 programs. windbg.exe names qemu-i386 in ASMORA_DEBUG_EMULATOR and a
    Unix socket in the session's private folder in ASMORA_DEBUG_SOCKET; gdb reaches
    the stub there. The program runs on the console window's terminal, which it
    holds as its controlling terminal, so Ctrl+C and typed input reach it there."""

    PR_SET_PDEATHSIG = 1
    SIGKILL = 9

    def __init__(self):
        self.program = os.environ.get('ASMORA_DEBUG_EMULATOR')
        self.socket = os.environ.get('ASMORA_DEBUG_SOCKET')
        self.process = None
        gdb.events.gdb_exiting.connect(lambda event: self.stop())

    def wanted(self):
        return bool(self.program and self.socket)

    @staticmethod
    def child_setup(tty):
        """In the child before qemu starts: a session of its own whose controlling
        terminal is the console window's, and an end together with gdb."""
        def setup():
            os.setsid()
            if tty:
                fd = os.open(tty, os.O_RDWR)
                for target in (0, 1, 2):
                    os.dup2(fd, target)
                if fd > 2:
                    os.close(fd)
            ctypes.CDLL(None).prctl(Emulator.PR_SET_PDEATHSIG, Emulator.SIGKILL)
        return setup

    def start(self, program, tty):
        """Starts qemu-i386 stopped at the program's first instruction and returns
        once its stub is listening; raises gdb.error when it does not come up."""
        self.stop()
        try:
            os.unlink(self.socket)
        except OSError:
            pass
        try:
            self.process = subprocess.Popen([self.program, '-g', self.socket, program],
                                            preexec_fn=self.child_setup(tty), close_fds=True)
        except OSError as error:
            raise gdb.error(text('emulator.failed', str(error)))
        deadline = time.time() + 10
        while time.time() < deadline and self.process.poll() is None:
            if self.listening():
                return
            time.sleep(0.01)
        status = self.process.poll()
        raise gdb.error(text('emulator.failed', 'qemu-i386 %s' % ('exit %d' % status if status is not None
                                                                   else 'no answer')))

    def listening(self):
        """True once the stub accepts connections. qemu binds the socket before it
        listens, so the file alone is not enough; a trial connection is no way to
        ask either, as the stub takes only one. /proc/net/unix marks a listening
        socket with the flags 00010000.
        Sample line: 0000000000000000: 00000002 00000000 00010000 0001 01 31205 /tmp/x/gdb.socket"""
        try:
            with open('/proc/net/unix', encoding='utf-8', errors='replace') as table:
                for line in table:
                    fields = line.rstrip('\n').split(None, 7)
                    if len(fields) == 8 and fields[7] == self.socket and fields[3] == '00010000':
                        return True
        except OSError:
            return os.path.exists(self.socket)
        return False

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.process = None


EMULATOR = Emulator()


def decode_source(data):
    """A source file's text: UTF-8 when it is valid UTF-8, else code page 936, in
    which the IDE saves sources."""
    try:
        return data.decode('utf-8')
    except UnicodeDecodeError:
        return data.decode('gbk', errors='replace')


def listed_source_files():
    """The source files of the loaded program, from "info sources". Its lines list
    paths separated by ", "; a path that itself holds ", " is found by joining
    pieces until they name a file."""
    try:
        listing = gdb.execute('info sources', to_string=True)
    except gdb.error:
        return []
    paths = []
    for line in listing.splitlines():
        current = ''
        for piece in line.strip().split(', '):
            current = current + ', ' + piece if current else piece
            if os.path.isfile(current):
                paths.append(current)
                current = ''
    return paths


def gdb_argument(text):
    """text as one argument of a gdb command: blanks, quotes and backslashes escaped."""
    return ''.join('\\' + c if c in ' \t\'"\\' else c for c in text)


class SourceCopies:
    """Sources saved in code page 936 would show their Chinese comments garbled in
    the UTF-8 terminal, so gdb reads UTF-8 copies of them instead: every source of
    a folder that holds such a file is copied (converted) below ASMORA_DEBUG_SOURCES,
    and gdb's substitute-path sends the folder there. UTF-8 and ASCII sources are
    read where they are."""

    def __init__(self):
        self.folder = os.environ.get('ASMORA_DEBUG_SOURCES')
        self.redirected = set()

    @staticmethod
    def needs_copy(path):
        try:
            with open(path, 'rb') as file:
                file.read().decode('utf-8')
            return False
        except UnicodeDecodeError:
            return True
        except OSError:
            return False

    def copy(self, path, target):
        with open(path, 'rb') as file:
            text = decode_source(file.read())
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, 'w', encoding='utf-8', newline='') as file:
            file.write(text)
        # The copy keeps the original's time, so gdb does not call it newer than the program.
        shutil.copystat(path, target)

    def refresh(self):
        if not self.folder:
            return
        sources = listed_source_files()
        folders = {os.path.dirname(path) for path in sources if self.needs_copy(path)}
        for folder in sorted(folders):
            mirror = os.path.join(self.folder, folder.lstrip('/'))
            try:
                for path in sources:
                    if os.path.dirname(path) == folder:
                        self.copy(path, os.path.join(mirror, os.path.basename(path)))
            except OSError:
                continue
            if folder not in self.redirected:
                gdb.execute('set substitute-path %s %s' % (gdb_argument(folder), gdb_argument(mirror)))
                self.redirected.add(folder)


SOURCES = SourceCopies()


def wait_for_console_tty():
    """The name of the program's console terminal, written by windbg.exe
    --program-console into the file named by ASMORA_DEBUG_TTY_FILE."""
    path = os.environ.get('ASMORA_DEBUG_TTY_FILE')
    if not path:
        return None
    deadline = time.time() + 10
    while time.time() < deadline:
        try:
            with open(path, encoding='utf-8') as file:
                name = file.read().strip()
            if name:
                return name
        except OSError:
            pass
        time.sleep(0.05)
    return None


def show_layout(layout):
    if not os.isatty(1):
        return False
    try:
        gdb.execute('layout ' + layout)
        gdb.execute('focus cmd')
    except gdb.error:
        return False
    VIEW['layout'] = layout
    return True


def show_views(has_source):
    return show_layout('asmora' if has_source else 'asmora-machine')


# The registers view: the course's registers only, as a student reads them in a
# 32-bit program (gdb's own view of the "general" group also lists the mask
# registers k0..k7 on processors that have them). A value that differs from what
# the previous prompt showed is drawn in reverse video.
REGISTER_ROWS = (
    ('eax', 'ebx', 'ecx', 'edx'),
    ('esi', 'edi', 'ebp', 'esp'),
    ('eip', 'eflags'),
    ('cs', 'ds', 'es', 'fs', 'gs', 'ss'),
)
SEGMENT_REGISTERS = ('cs', 'ds', 'es', 'fs', 'gs', 'ss')
# flag  bit of EFLAGS
FLAG_BITS = (('OF', 11), ('DF', 10), ('IF', 9), ('SF', 7), ('ZF', 6), ('AF', 4), ('PF', 2), ('CF', 0))


def read_course_registers():
    """name -> value of the course registers in the selected frame; {} when no
    program is stopped."""
    try:
        frame = gdb.selected_frame()
        return {name: int(frame.read_register(name)) & 0xFFFFFFFF
                for row in REGISTER_ROWS for name in row}
    except (gdb.error, RuntimeError, ValueError):
        return {}


def register_cells(values, previous):
    """The view's rows as lists of (text, changed) cells; the flags of EFLAGS follow
    it one by one. Nothing counts as changed when there is no previous value."""
    def changed(name, mask=0xFFFFFFFF):
        return name in previous and (previous[name] & mask) != (values[name] & mask)

    rows = []
    for names in REGISTER_ROWS:
        cells = []
        for name in names:
            digits = 4 if name in SEGMENT_REGISTERS else 8
            cells.append(('%s=%0*X' % (name, digits, values[name] & (0xFFFF if digits == 4 else 0xFFFFFFFF)),
                          changed(name)))
            if name == 'eflags':
                for flag, bit in FLAG_BITS:
                    cells.append(('%s=%d' % (flag, (values[name] >> bit) & 1), changed(name, 1 << bit)))
        rows.append(cells)
    return rows


def register_lines(values, previous, width, mark=lambda cell: cell):
    """The view's lines for a window `width` columns wide: the cells of a row
    separated by two blanks, a row wrapped where the next cell would not fit;
    mark() dresses a changed cell."""
    lines = []
    for cells in register_cells(values, previous):
        line, used = '', 0
        for cell, is_changed in cells:
            needed = len(cell) + (2 if used else 0)
            if used and used + needed > width:
                lines.append(line)
                line, used, needed = '', 0, len(cell)
            line += ('  ' if used else '') + (mark(cell) if is_changed else cell)
            used += needed
        lines.append(line)
    return lines


def reverse_video(cell):
    return '\x1b[7m' + cell + '\x1b[0m'


class RegisterHistory:
    """The course registers at the last prompt and at the one before it, and the
    registers views open now. Taken at the prompt rather than at every stop, so the
    single steps of F10 and F11 count as one."""

    def __init__(self):
        self.values = {}
        self.previous = {}
        self.windows = []
        gdb.events.before_prompt.connect(self.on_prompt)

    def on_prompt(self):
        values = read_course_registers()
        if values == self.values:
            return
        self.previous, self.values = self.values, values
        for window in list(self.windows):
            window.render()

    def lines(self, width, mark=lambda cell: cell):
        if not self.values:
            return [text('registers.none')]
        return register_lines(self.values, self.previous, width, mark)


REGISTERS = RegisterHistory()


class RegistersWindow:
    """The "asmora-regs" window of the views (msdbi.dll)."""

    def __init__(self, tui):
        self.tui = tui
        self.tui.title = text('registers.title')
        REGISTERS.windows.append(self)
        self.render()

    def close(self):
        if self in REGISTERS.windows:
            REGISTERS.windows.remove(self)

    def render(self):
        if not self.tui.is_valid():
            return
        self.tui.erase()
        self.tui.write('\n'.join(REGISTERS.lines(max(20, self.tui.width), reverse_video)))


gdb.register_window_type('asmora-regs', RegistersWindow)


# Parts of gdb's reasons for a failed start, and what each usually means for a
# student (keys of tlloc.dll).
START_FAILURE_HINTS = (
    ('exited with code 126', 'start.hint.format'),
    ('Exec format error', 'start.hint.format'),
    ('Cannot insert breakpoint', 'start.hint.breakpoint'),
    ('Command aborted', 'start.hint.breakpoint'),
    ('Permission denied', 'start.hint.permission'),
    ('qemu-i386', 'start.hint.emulator'),
    ('Remote', 'start.hint.emulator'),
)


def report_start_failure(reason):
    """Says in Chinese why the program did not stop at its entry, with gdb's own
    reason, and brings the debugger window to the front over the program's."""
    print(text('start.failed', reason.strip()))
    for part, key in START_FAILURE_HINTS:
        if part in reason:
            print(text(key))
            break
    CONSOLE.write('/dev/tty', ConsoleWindow.RAISE)


class StartCommand(gdb.Command):
    """asmora-start: run the loaded program to its entry point and show the views."""

    def __init__(self):
        super().__init__('asmora-start', gdb.COMMAND_RUNNING)

    def invoke(self, argument, from_tty):
        notice = os.environ.get('ASMORA_DEBUG_NOTICE')
        if notice:
            print(notice)
        if not gdb.current_progspace().filename:
            print(text('start.empty'))
            return
        tty = wait_for_console_tty()
        if tty:
            if not EMULATOR.wanted():
                gdb.execute('tty ' + tty)
            CONSOLE.attach(tty)
        elif os.environ.get('ASMORA_DEBUG_TTY_FILE'):
            print(text('start.notty'))
        SOURCES.refresh()
        # The views open before the program starts, so they show its first stop.
        entry = entry_address()
        has_source = entry is None or gdb.find_pc_line(entry).symtab is not None
        show_views(has_source)
        try:
            if EMULATOR.wanted():
                self.start_emulated(tty, entry)
            elif entry is not None:
                gdb.execute('tbreak *0x%x' % entry)
                gdb.execute('run')
            else:
                gdb.execute('starti')
        except gdb.error as error:
            report_start_failure(str(error))
            return
        if not has_source:
            print(text('start.nodebug'))
        print(text('start.keys'))

    @staticmethod
    def start_emulated(tty, entry):
        """qemu-i386 stops before the program's first instruction, its ELF entry;
        gdb goes on to the program's own entry where that is another place."""
        if gdb.selected_inferior().pid != 0:
            gdb.execute('kill')
        EMULATOR.start(gdb.current_progspace().filename, tty)
        gdb.execute('target remote ' + EMULATOR.socket)
        if entry is not None and int(gdb.parse_and_eval('$pc')) != entry:
            gdb.execute('tbreak *0x%x' % entry)
            gdb.execute('continue')


class LineStepper:
    """Steps one .asm line instruction by instruction. Course programs carry no
    call-frame information, so gdb's own next and step cannot always tell a call
    from a jump and stop inside io.obj's procedures; here a call is recognised by
    its instruction and run to its return address with the stack back above it."""

    def __init__(self, into):
        self.into = into
        self.log = ''

    @staticmethod
    def alive():
        return gdb.selected_inferior().pid != 0 and gdb.selected_thread() is not None

    @staticmethod
    def registers():
        frame = gdb.selected_frame()
        return int(frame.pc()), int(frame.read_register('esp')) & 0xFFFFFFFF

    def quiet(self, command):
        self.log += gdb.execute(command, to_string=True) or ''

    def run_to_return(self, address, stack_above):
        """Runs until the program is back at address with ESP above stack_above
        (a recursive call passes the same address deeper down). False when it
        stopped elsewhere: a breakpoint, or the end of the program."""
        breakpoint = gdb.Breakpoint('*%d' % address, internal=True, temporary=False)
        try:
            while True:
                self.quiet('continue')
                if not self.alive():
                    return False
                pc, esp = self.registers()
                if pc != address:
                    return False
                if esp > stack_above:
                    return True
        finally:
            if breakpoint.is_valid():
                breakpoint.delete()

    def step_instruction(self):
        """One instruction; a call counts as one unless stepping into a procedure
        that has source lines. False when the program stopped for another reason."""
        pc, esp = self.registers()
        instruction = gdb.selected_frame().architecture().disassemble(pc)[0]
        if not instruction['asm'].startswith('call'):
            self.quiet('stepi')
            return self.alive()
        if self.into:
            self.quiet('stepi')
            if not self.alive():
                return False
            if gdb.selected_frame().find_sal().symtab is not None:
                return True
        return self.run_to_return(pc + instruction['length'], esp)

    def run(self):
        start = gdb.selected_frame().find_sal()
        # gdb would report every stop of the single steps; report() shows the last.
        gdb.execute('set suppress-cli-notifications on')
        try:
            if start.symtab is None:
                self.quiet('stepi')
            else:
                while self.step_instruction():
                    here = gdb.selected_frame().find_sal()
                    if here.symtab is None or here.line != start.line or \
                            here.symtab.fullname() != start.symtab.fullname():
                        break
        finally:
            gdb.execute('set suppress-cli-notifications off')
        self.report()

    def report(self):
        if not self.alive():
            print(self.log.strip().splitlines()[-1] if self.log.strip() else '')
            return
        here = gdb.selected_frame().find_sal()
        if here.symtab is None:
            print('0x%08x in %s ()' % (int(gdb.selected_frame().pc()), gdb.selected_frame().name()))
            return
        try:
            with open(here.symtab.fullname(), 'rb') as file:
                # Lines end at line feeds only, as gdb counts them.
                text = decode_source(file.read()).split('\n')[here.line - 1].rstrip('\r')
        except (OSError, IndexError):
            text = ''
        print('%d\t%s' % (here.line, text))


class NextLineCommand(gdb.Command):
    """asmora-next: one .asm line further, over calls and macros (F10)."""

    def __init__(self):
        super().__init__('asmora-next', gdb.COMMAND_RUNNING)

    def invoke(self, argument, from_tty):
        if not LineStepper.alive():
            print(text('step.notrunning'))
            return
        LineStepper(into=False).run()


class StepLineCommand(gdb.Command):
    """asmora-step: one .asm line further, into procedures that have source (F11)."""

    def __init__(self):
        super().__init__('asmora-step', gdb.COMMAND_RUNNING)

    def invoke(self, argument, from_tty):
        if not LineStepper.alive():
            print(text('step.notrunning'))
            return
        LineStepper(into=True).run()


class MemoryCommand(gdb.Command):
    """memory &name [count]: a variable's type, address, value and bytes."""

    def __init__(self):
        super().__init__('memory', gdb.COMMAND_DATA, gdb.COMPLETE_SYMBOL)

    @staticmethod
    def locate(name):
        """Address, size and type name of a variable; a label without a type is a DWORD."""
        try:
            value = gdb.parse_and_eval(name)
            value_type = value.type.strip_typedefs()
            if value.address is not None and value_type.code != gdb.TYPE_CODE_ERROR:
                count = 1
                if value_type.code == gdb.TYPE_CODE_ARRAY:
                    count = max(1, value_type.sizeof // max(1, value_type.target().sizeof))
                    value_type = value_type.target().strip_typedefs()
                kind = ('float' if value_type.code == gdb.TYPE_CODE_FLT else
                        'signed' if value_type.is_signed else 'unsigned') \
                    if hasattr(value_type, 'is_signed') else 'unsigned'
                return int(value.address), value_type.sizeof, masm_type_name(value_type.sizeof, kind), count
        except gdb.error:
            pass
        address = gdb.parse_and_eval('(unsigned int)&' + name)
        return int(address), 4, 'DWORD', 1

    def invoke(self, argument, from_tty):
        words = argument.replace('&', ' ').split()
        if not words:
            print(text('memory.usage'))
            return
        name = words[0]
        count = int(words[1]) if len(words) > 1 and words[1].isdigit() else None
        try:
            address, size, type_name, elements = self.locate(name)
        except gdb.error:
            print(text('memory.unknown', name))
            return
        elements = count or elements
        inferior = gdb.selected_inferior()
        print('%s    %s    地址 0x%08X' % (name, type_name, address))
        shown = min(elements, 16)
        values = []
        for index in range(shown):
            data = bytes(inferior.read_memory(address + index * size, size))
            values.append(self.format_value(data, type_name))
        print(text('memory.value') + '  '.join(values) + (' ...' if elements > shown else ''))
        dump = read_available(address, max(16, min(elements * size, 64)))
        for offset in range(0, len(dump), 16):
            row = dump[offset:offset + 16]
            print('  %08X  %-47s  %s' % (address + offset, ' '.join('%02X' % b for b in row),
                                         ''.join(chr(b) if 32 <= b < 127 else '.' for b in row)))

    @staticmethod
    def format_value(data, type_name):
        for name, size, kind in TYPES:
            if name == type_name and kind == 'float' and size in (4, 8):
                import struct
                return repr(struct.unpack('<f' if size == 4 else '<d', data)[0])
        unsigned = int.from_bytes(data, 'little')
        signed = int.from_bytes(data, 'little', signed=True)
        text_value = '%d' % unsigned if signed == unsigned else '%d (%d)' % (unsigned, signed)
        return '%s = %0*XH' % (text_value, len(data) * 2, unsigned)


class RegistersCommand(gdb.Command):
    """registers: show or hide the registers view."""

    def __init__(self):
        super().__init__('registers', gdb.COMMAND_STATUS)

    def invoke(self, argument, from_tty):
        if VIEW['layout'] is None:
            REGISTERS.on_prompt()
            print('\n'.join(REGISTERS.lines(80)))
        elif VIEW['layout'] == 'asmora-source':
            show_layout('asmora')
            print(text('registers.shown'))
        else:
            show_layout('asmora-source')
            print(text('registers.hidden'))


class ArrangeCommand(gdb.Command):
    """arrange: the standard arrangement of the views."""

    def __init__(self):
        super().__init__('arrange', gdb.COMMAND_STATUS)

    def invoke(self, argument, from_tty):
        has_source = True
        try:
            has_source = gdb.selected_frame().find_sal().symtab is not None
        except gdb.error:
            pass
        if show_views(has_source):
            gdb.execute('refresh')
        else:
            print(text('view.none'))


StartCommand()
NextLineCommand()
StepLineCommand()
MemoryCommand()
RegistersCommand()
ArrangeCommand()
