puts "before"
Process.kill(:TERM, Process.pid)
sleep 0.1
puts "after"
