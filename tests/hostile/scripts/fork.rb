puts "before"
fork { puts "child" }
puts "after"
