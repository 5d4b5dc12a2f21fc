Thread.new { loop { } }
puts "started"
