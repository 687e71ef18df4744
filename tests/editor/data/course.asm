; 求两个整数的和与平均值（课程示例程序）
.386
.MODEL FLAT
INCLUDE io.h

cr      EQU     0dh
Lf      EQU     0ah

.STACK  4096

.DATA
number1 DWORD   ?
number2 DWORD   ?
half    REAL4   0.5
prompt1 BYTE    "请输入第一个数:", 0
prompt2 BYTE    cr, Lf, "请输入第二个数:", 0
string  BYTE    40 DUP (?)
label1  BYTE    cr, Lf, "和为:", 0
sum     BYTE    11 DUP (?), cr, Lf, 0

.CODE
_start:
        output  prompt1         ; 提示输入第一个数
        input   string, 40
        atod    string
        mov     number1, eax

        output  prompt2
        input   string, 40
        atod    string
        mov     number2, eax

        mov     eax, number1    ; 两数相加
        add     eax, number2
        dtoa    sum, eax
        output  label1
        output  sum

        fild    number1         ; 平均值交给浮点单元
        fiadd   number2
        fmul    half
        fstp    st(0)

        INVOKE  ExitProcess, 0
PUBLIC _start
END
