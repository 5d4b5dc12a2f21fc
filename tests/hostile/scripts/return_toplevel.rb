puts "before"
return
puts "after"
