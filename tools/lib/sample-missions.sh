# Sourced by the tools that take screenshots: sample missions only,
# never a path of this machine.
#
# write_sample_missions FILE: an everyday.mis (code page 936) with one
# mission of each common kind. Daily missions are dated today when loaded,
# so the dates here do not matter.
write_sample_missions() {
  {
    printf '执行程序$C:\\Tools\\backup.exe$2000/1/1$06:30:00\r\n'
    printf '提示消息$该起床了!$2000/1/1$07:00:00\r\n'
    printf '打开网页$http://www.example.org/$2000/1/1$12:30:00\r\n'
    printf '系统响铃$内置铃声$2000/1/1$18:00:00\r\n'
    printf '关闭计算机$关闭计算机$2000/1/1$23:30:00\r\n'
  } | iconv -f UTF-8 -t CP936 >"$1"
}

# write_sample_kept_missions FILE: a missions.mis (code page 936) with sample
# repeating missions. Dated long ago: a start moves each to when it fires next.
write_sample_kept_missions() {
  # kind detail time rule: one line, the fields joined by the byte 0x80.
  kept_mission_line() {
    printf '%s' "$1" | iconv -f UTF-8 -t CP936
    printf '\x80'
    printf '%s' "$2" | iconv -f UTF-8 -t CP936
    printf '\x802000/1/1\x80%s\x80' "$3"
    printf '%s\r\n' "$4" | iconv -f UTF-8 -t CP936
  }
  {
    kept_mission_line 提示消息 '周会,带上本周的进度表.' 09:30:00 每周一、三
    kept_mission_line 执行程序 'C:\Tools\report.exe' 17:30:00 工作日
    kept_mission_line 提示消息 '交房租' 09:00:00 每月1日
  } >"$1"
}
