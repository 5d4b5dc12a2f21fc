puts "before"
STDOUT.close
puts "after"
