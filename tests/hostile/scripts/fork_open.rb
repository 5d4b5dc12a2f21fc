puts "before"
open("|-") { |io| puts "child" }
puts "after"
