#!/usr/bin/env python3
"""Writes resources/carried/software.xls: an Excel 97 (BIFF8) workbook in a compound
file that lists the carried tool kit. Run it again after changing the table below:

    python3 resources/tools/make_software_xls.py resources/carried/software.xls
"""
import struct
import sys

TOOLKIT = [
    ("文件", "用途", "来源"),
    ("ML.EXE", "汇编器：把 .asm 源程序汇编成目标文件 .obj 与列表文件 .lst", "Asmora 自带"),
    ("link.exe", "链接器：把 .obj、io.obj 与 Kernel32.Lib 链接成可执行文件", "Asmora 自带（调用 GNU ld）"),
    ("windbg.exe", "调试器前端：在终端中用 gdb 单步执行程序", "Asmora 自带（调用 gdb）"),
    ("dm.dll … tlloc.dll", "调试器前端的脚本、按键表与提示文字", "Asmora 自带"),
    ("IO.ASM", "课程输入输出库的源程序", "Asmora 自带"),
    ("io.h", "课程输入输出库的宏定义（itoa、atoi、dtoa、atod、input、output、szlen）", "Asmora 自带"),
    ("io.obj", "课程输入输出库的目标文件", "由 IO.ASM 汇编而成"),
    ("Kernel32.Lib", "ExitProcess 等系统调用的库", "Asmora 自带"),
    ("Asmora帮助.hlp", "本程序的帮助", "Asmora 自带"),
    ("WINDBG.HLP", "调试器前端的帮助", "Asmora 自带"),
    ("asm.ico", "ASM 文件关联的图标", "Asmora 自带"),
]


def record(kind, body=b""):
    return struct.pack("<HH", kind, len(body)) + body


def unicode_string(text, length_bytes=2):
    units = text.encode("utf-16-le")
    count = len(units) // 2
    head = struct.pack("<H", count) if length_bytes == 2 else struct.pack("<B", count)
    return head + b"\x01" + units


def font(height=200, name="宋体"):
    return record(0x0031, struct.pack("<HHHHHBBBB", height, 0, 0x7FFF, 400, 0, 0, 0, 134, 0)
                  + unicode_string(name, 1))


def xf(is_style):
    kind = 0xFFF5 if is_style else 0x0001
    attributes = 0 if is_style else 0xF8 << 8
    return record(0x00E0, struct.pack("<HHHBBBBIIH", 0, 0, kind, 0x20, 0, 0, attributes >> 8,
                                      0, 0x20C0 if not is_style else 0, 0x20C0))


def globals_part(sheet_offset):
    parts = [record(0x0809, struct.pack("<HHHHII", 0x0600, 0x0005, 0x0DBB, 0x07CC, 0, 6)),
             record(0x0042, struct.pack("<H", 1200)),
             record(0x003D, struct.pack("<HHHHHHHHH", 0, 0, 0x3000, 0x2000, 0x38, 0, 0, 1, 0x258))]
    parts += [font() for _ in range(4)] + [font(200, "宋体")]
    parts += [xf(True) for _ in range(15)] + [xf(False)]
    parts.append(record(0x0293, struct.pack("<HBB", 0x8000, 0, 0xFF)))  # built-in Normal style
    sheet = unicode_string("软件列表", 1)
    parts.append(record(0x0085, struct.pack("<IBB", sheet_offset, 0, 0) + sheet))
    parts.append(record(0x000A))
    return b"".join(parts)


def sheet_part():
    rows, cols = len(TOOLKIT), len(TOOLKIT[0])
    parts = [record(0x0809, struct.pack("<HHHHII", 0x0600, 0x0010, 0x0DBB, 0x07CC, 0, 6)),
             record(0x0200, struct.pack("<IIHHH", 0, rows, 0, cols, 0))]
    widths = [18, 60, 26]
    for col, width in enumerate(widths):
        parts.append(record(0x007D, struct.pack("<HHHHHH", col, col, width * 256, 15, 0, 0)))
    for r, row in enumerate(TOOLKIT):
        for c, text in enumerate(row):
            parts.append(record(0x0204, struct.pack("<HHH", r, c, 15) + unicode_string(text)))
    parts.append(record(0x023E, struct.pack("<HHHHHHHI", 0x06B6, 0, 0, 64, 0, 0, 0, 0)))
    parts.append(record(0x000A))
    return b"".join(parts)


def workbook():
    probe = globals_part(0)
    return globals_part(len(probe)) + sheet_part()


def compound_file(stream_name, data):
    sector = 512
    data = data + b"\0" * max(0, 4096 - len(data))          # stay out of the mini stream
    data_sectors = (len(data) + sector - 1) // sector
    data = data.ljust(data_sectors * sector, b"\0")
    directory_sector = 1 + data_sectors
    end, free, fat_mark = 0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFD
    fat = [fat_mark] + [i + 2 for i in range(data_sectors - 1)] + [end, end]
    fat += [free] * (sector // 4 - len(fat))
    header = struct.pack("<8s16sHHHHH6sIIIIIIIII", b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", b"\0" * 16,
                         0x3E, 3, 0xFFFE, 9, 6, b"\0" * 6, 0, 1, directory_sector, 0, 4096,
                         end, 0, end, 0)
    header += struct.pack("<I", 0) + struct.pack("<I", free) * 108

    def entry(name, kind, child, start, size):
        encoded = (name + "\0").encode("utf-16-le") if name else b""
        return struct.pack("<64sHBBIII16sIQQII", encoded, len(encoded), kind, 1, free, free, child,
                           b"\0" * 16, 0, 0, 0, start, size) + b"\0" * 4

    directory = entry("Root Entry", 5, 1, end, 0) + entry(stream_name, 2, free, 1, len(data))
    directory += entry("", 0, free, 0, 0) * 2
    return header + struct.pack("<128I", *fat) + data + directory


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(compound_file("Workbook", workbook()))
