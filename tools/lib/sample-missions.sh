# Sourced by the tools that take screenshots: sample daily missions only,
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
