puts "before"
Process.daemon
puts "after"
