#!/bin/sh
# Draws the two JPEG pictures of the program's windows with ImageMagick:
#   splash.jpg  601 x 153  the splash picture: the program's name framed by rows of
#                          stars, blue on white like the run console's banner
#   cover.jpg   177 x 257  a cover-style picture for the course's textbook
# Run it from anywhere; it rewrites both files beside itself.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
cjk=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
mono=/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf
sans=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
blue='#1f3fa8'
stars=$(printf '%090d' 0 | tr 0 '*')

convert -size 601x153 xc:white \
  -fill "$blue" -font "$mono" -pointsize 11 \
  -annotate +6+14 "$stars" -annotate +6+148 "$stars" \
  -fill '#e8eefc' -draw 'rectangle 0,22 600,130' \
  -fill "$blue" -draw 'roundrectangle 22,36 112,118 10,10' \
  -fill white -font "$mono" -pointsize 26 -annotate +44+86 'x86' \
  -fill '#9fb4ee' -draw 'rectangle 30,40 104,44' -draw 'rectangle 30,110 104,114' \
  -fill "$blue" -font "$sans" -pointsize 40 -annotate +132+78 '80X86 Asmora' \
  -font "$cjk" -pointsize 19 -annotate +134+112 '汇编语言集成开发环境  ·  MASM 32 位' \
  -quality 92 "$here/splash.jpg"

convert -size 177x257 xc:'#f4efe4' \
  -fill '#7a1f1f' -draw 'rectangle 0,0 176,96' \
  -fill '#d9a441' -draw 'rectangle 0,96 176,100' \
  -fill white -font "$cjk" -pointsize 13 -annotate +12+22 '高等学校计算机教材' \
  -pointsize 21 -annotate +12+54 '80x86汇编语言' -annotate +12+82 '程序设计' \
  -fill '#7a1f1f' -pointsize 11 -annotate +12+120 '—— 32位指令与Windbg调试' \
  -fill '#2d3e50' -draw 'roundrectangle 52,134 124,200 4,4' \
  -fill '#d9a441' -draw 'rectangle 60,142 116,192' \
  -fill '#2d3e50' -draw 'rectangle 66,148 110,186' \
  -fill '#d9a441' -font "$mono" -pointsize 11 -annotate +74+171 'CPU' \
  -stroke '#2d3e50' -strokewidth 2 \
  -draw 'line 44,146 52,146' -draw 'line 44,158 52,158' -draw 'line 44,170 52,170' -draw 'line 44,182 52,182' \
  -draw 'line 124,146 132,146' -draw 'line 124,158 132,158' -draw 'line 124,170 132,170' -draw 'line 124,182 132,182' \
  -stroke none -fill '#2d3e50' -font "$cjk" -pointsize 12 -annotate +12+224 '沈明远  编著' \
  -fill '#7a1f1f' -draw 'rectangle 0,236 176,256' \
  -fill white -pointsize 11 -annotate +12+251 'Norwick 计算机科学教材系列' \
  -quality 92 "$here/cover.jpg"
