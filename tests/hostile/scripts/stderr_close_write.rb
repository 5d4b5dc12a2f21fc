puts "before"
STDERR.close_write
puts "after"
