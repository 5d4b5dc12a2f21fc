puts "before"
break
puts "after"
