puts "before"
exit
puts "after"
