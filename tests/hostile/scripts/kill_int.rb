puts "before"
Process.kill(:INT, Process.pid)
sleep 0.1
puts "after"
