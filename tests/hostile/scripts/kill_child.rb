puts Process.kill(0, Process.pid)
puts Process.kill(:TERM, spawn("sleep 5"))
puts Process.wait2.last.signaled?
