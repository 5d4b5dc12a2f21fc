puts "before"
Process.kill(:INT, 0)
puts "after"
