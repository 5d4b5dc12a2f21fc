puts "before"
Process.fork
puts "after"
