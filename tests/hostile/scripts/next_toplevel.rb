puts "before"
next
puts "after"
